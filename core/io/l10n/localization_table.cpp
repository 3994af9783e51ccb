#include "core/io/l10n/localization_table.hpp"

#include "core/io/l10n/parameter_provider.hpp"

namespace core::io::l10n {

namespace {

// An answer that holds its own placeholder would be expanded forever.
constexpr int max_replacements = 64;

void answer_placeholders(std::string& text, parameter_provider& provider) {
  std::size_t position = 0;
  for (int replacements = 0; replacements < max_replacements;) {
    const std::size_t open = text.find('[', position);
    if (open == std::string::npos) {
      return;
    }
    const std::size_t close = text.find(']', open + 1);
    if (close == std::string::npos) {
      return;
    }
    std::string answer;
    if (provider.get_parameter(text.substr(open + 1, close - open - 1), answer)) {
      text.replace(open, close - open + 1, answer);
      position = open;
      ++replacements;
    } else {
      position = close;
    }
  }
}

}  // namespace

std::string localization_table::text(const std::string& id) const {
  std::string result = find(id);
  if (provider_ != nullptr) {
    answer_placeholders(result, *provider_);
  }
  return result.empty() ? id : result;
}

const std::string& localization_table::find(const std::string& id) const {
  static const std::string empty;
  const auto found = strings_.find(id);
  return found == strings_.end() ? empty : found->second;
}

void localization_table::clear() {
  culture_.clear();
  strings_.clear();
}

}  // namespace core::io::l10n
