#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/log/record.hpp"

namespace core::log {

// One piece of a log line.
template <class Char>
class basic_formatter;

template <>
class basic_formatter<char> {
 public:
  virtual ~basic_formatter() = default;
  virtual std::unique_ptr<basic_formatter> clone() const = 0;
  virtual std::string format(const record& r) const = 0;
};

template <class Char>
class basic_text_formatter;
template <class Char>
class basic_severity_formatter;
template <class Char>
class basic_message_formatter;
template <class Char>
class basic_newline_formatter;

template <>
class basic_text_formatter<char> final : public basic_formatter<char> {
 public:
  explicit basic_text_formatter(std::string text) : text_(std::move(text)) {}
  std::unique_ptr<basic_formatter<char>> clone() const override;
  std::string format(const record& r) const override;

 private:
  std::string text_;
};

// "error", "warning", "info" or "debug"; any other severity throws
// std::runtime_error "severity type is unknown.".
template <>
class basic_severity_formatter<char> final : public basic_formatter<char> {
 public:
  std::unique_ptr<basic_formatter<char>> clone() const override;
  std::string format(const record& r) const override;
};

template <>
class basic_message_formatter<char> final : public basic_formatter<char> {
 public:
  std::unique_ptr<basic_formatter<char>> clone() const override;
  std::string format(const record& r) const override;
};

// CR LF, whatever the platform: the line form is part of the log's contract.
template <>
class basic_newline_formatter<char> final : public basic_formatter<char> {
 public:
  std::unique_ptr<basic_formatter<char>> clone() const override;
  std::string format(const record& r) const override;
};

using formatter_chain = std::vector<std::shared_ptr<basic_formatter<char>>>;

// The program's line: "parvel [", severity, "] - ", message, CR LF.
formatter_chain standard_chain();

}  // namespace core::log
