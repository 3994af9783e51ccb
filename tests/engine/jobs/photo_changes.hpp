#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace test_support {

// What another program does to a photo's file while the program reads it.
// Each leaves the file's modification time an hour back, as a copy that
// keeps its times does, so that the change shows whatever the clock's tick.
using photo_change = std::function<void(const std::string& path)>;
// The same bytes written over the file where it stands.
void rewrite_in_place(const std::string& path);
// Cut to nothing, then written again whole, as an editor saves.
void truncate_and_restore(const std::string& path);
// Saved over by a file of 2 KB.
void save_smaller(const std::string& path);

// Makes change to the file at path once, on the imaging chain's reading
// hook: when a reader has the photo open and before it reads its first row.
class change_while_read {
 public:
  change_while_read(std::string path, photo_change change);
  ~change_while_read();
  change_while_read(const change_while_read&) = delete;
  change_while_read& operator=(const change_while_read&) = delete;

  bool made() const { return made_; }
  // Whether the process had the file mapped then: a mapping that another
  // program cuts short kills the reader (SIGBUS) where it reads past the end.
  bool mapped() const { return mapped_; }

 private:
  std::atomic<bool> made_{false};
  std::atomic<bool> mapped_{false};
};

}  // namespace test_support
