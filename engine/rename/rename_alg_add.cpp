#include "engine/rename/rename_alg_add.hpp"

namespace parvel {

std::string rename_alg_add::apply(const std::string& stem) {
  std::string result = first_ ? first_->apply(stem) : std::string();
  if (second_) {
    result += second_->apply(stem);
  }
  return result;
}

void rename_alg_add::reset() {
  if (first_) {
    first_->reset();
  }
  if (second_) {
    second_->reset();
  }
}

}  // namespace parvel
