#pragma once

#include <vips/vips8>

#include <memory>
#include <mutex>
#include <string>

namespace core::graphics::gdip::detail {

// The imaging library's own words for error on one line, its error buffer
// emptied, or the decoder's words for the damage it found. When this thread is reading the pixels of a file (see
// note_decoded_file) within the current failure_scope, the words name it:
// a photo's pixels are decoded by whichever unit reads them last.
std::string library_error_words(const vips::VError& error);

// Where a decoder that runs on the imaging library's threads leaves the words
// of the damage it finds: the library may lose its failure, or its words to
// another thread, but not these.
class decoder_damage {
 public:
  void found(const std::string& words);
  std::string words() const;

 private:
  mutable std::mutex lock_;
  std::string words_;
};

// Called where a file's pixels are handed to a reader on this thread, with
// where their decoder tells of damage when it has its own.
void note_decoded_file(const std::string& path, std::shared_ptr<const decoder_damage> damage = {});

// The words of the damage the decoder of the file noted last (in the current
// failure_scope) found, naming the file; empty when it found none.
std::string decoder_damage_words();

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
  std::shared_ptr<const decoder_damage> saved_damage_;
};

}  // namespace core::graphics::gdip::detail
