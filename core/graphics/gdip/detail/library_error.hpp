#pragma once

#include <vips/vips8>

#include <string>

namespace core::graphics::gdip::detail {

// The imaging library's own words for error on one line, its error buffer
// emptied. When this thread is reading the pixels of a file (see
// note_decoded_file) within the current failure_scope, the words name it:
// a photo's pixels are decoded by whichever unit reads them last.
std::string library_error_words(const vips::VError& error);

// Called where a file's pixels are handed to a reader on this thread.
void note_decoded_file(const std::string& path);

// Forgets the files noted on this thread while it lives, and puts back
// those noted before it: each imaging step names only its own files.
class failure_scope {
 public:
  failure_scope();
  ~failure_scope();
  failure_scope(const failure_scope&) = delete;
  failure_scope& operator=(const failure_scope&) = delete;

 private:
  std::string saved_;
};

}  // namespace core::graphics::gdip::detail
