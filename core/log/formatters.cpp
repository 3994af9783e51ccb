#include "core/log/formatters.hpp"

#include <stdexcept>

#include "core/log/severity.hpp"

namespace core::log {

std::unique_ptr<basic_formatter<char>> basic_text_formatter<char>::clone() const {
  return std::make_unique<basic_text_formatter>(*this);
}

std::string basic_text_formatter<char>::format(const record&) const { return text_; }

std::unique_ptr<basic_formatter<char>> basic_severity_formatter<char>::clone() const {
  return std::make_unique<basic_severity_formatter>(*this);
}

std::string basic_severity_formatter<char>::format(const record& r) const {
  switch (r.severity) {
    case severity::error: return "error";
    case severity::warning: return "warning";
    case severity::info: return "info";
    case severity::debug: return "debug";
    default: throw std::runtime_error("severity type is unknown.");
  }
}

std::unique_ptr<basic_formatter<char>> basic_message_formatter<char>::clone() const {
  return std::make_unique<basic_message_formatter>(*this);
}

std::string basic_message_formatter<char>::format(const record& r) const { return r.message; }

std::unique_ptr<basic_formatter<char>> basic_newline_formatter<char>::clone() const {
  return std::make_unique<basic_newline_formatter>(*this);
}

std::string basic_newline_formatter<char>::format(const record&) const { return "\r\n"; }

formatter_chain standard_chain() {
  return {
      std::make_shared<basic_text_formatter<char>>("parvel ["),
      std::make_shared<basic_severity_formatter<char>>(),
      std::make_shared<basic_text_formatter<char>>("] - "),
      std::make_shared<basic_message_formatter<char>>(),
      std::make_shared<basic_newline_formatter<char>>(),
  };
}

}  // namespace core::log
