#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/scoped_handle.hpp"

namespace core::net::http {

// A request body read from its start in order. read() fills at most max
// bytes and returns 0 only once the whole size has been read; a source that
// ends early throws instead, so a short body never passes for a whole one.
class body_source {
 public:
  virtual ~body_source() = default;
  virtual std::uint64_t size() const = 0;
  virtual std::size_t read(char* buffer, std::size_t max) = 0;
  virtual void rewind() = 0;
};

// A body held by the caller, who keeps it alive for the call.
class memory_body final : public body_source {
 public:
  explicit memory_body(const std::string& text) : text_(text) {}
  std::uint64_t size() const override { return text_.size(); }
  std::size_t read(char* buffer, std::size_t max) override;
  void rewind() override { offset_ = 0; }

 private:
  const std::string& text_;
  std::size_t offset_ = 0;
};

// A file read straight into the caller's buffer, so memory stays flat in the
// file's size and no byte is copied twice. The size is taken when the file is
// opened; exactly that many bytes are sent.
class file_body final : public body_source {
 public:
  // Throws core::windows_system_error "cannot open the file '" + path + "'".
  explicit file_body(const std::string& path);
  std::uint64_t size() const override { return size_; }
  std::size_t read(char* buffer, std::size_t max) override;
  void rewind() override;

 private:
  std::string path_;
  scoped_handle file_;
  std::uint64_t size_ = 0;
  // Bytes taken from the file so far.
  std::uint64_t loaded_ = 0;
};

}  // namespace core::net::http
