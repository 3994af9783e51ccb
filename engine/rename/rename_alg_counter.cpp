#include "engine/rename/rename_alg_counter.hpp"

namespace parvel {

std::string rename_alg_counter::apply(const std::string&) {
  std::string text = std::to_string(current_);
  if (text.size() < digits_) {
    text.insert(0, digits_ - text.size(), '0');
  }
  current_ += static_cast<std::uint32_t>(step_);
  return text;
}

}  // namespace parvel
