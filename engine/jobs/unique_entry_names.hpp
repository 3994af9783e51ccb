#pragma once

#include <map>
#include <string>

namespace parvel {

// The entry names of one archive. Names are compared without ASCII case,
// since the unzippers of Windows and macOS write "IMG.jpg" and "img.JPG" to
// one file and the recipient would lose a photo.
class unique_entry_names {
 public:
  // The name made valid UTF-8 (each invalid sequence a U+FFFD, as the
  // archive writes it) when unused, else its stem + "(n)" + its extension
  // with the smallest n that gives an unused name. Every name handed out is
  // used and within longest_file_name bytes: a longer one loses the end of
  // its stem, never its extension or "(n)".
  std::string make_unique(const std::string& name);

 private:
  // Folded name -> the next n to try for it.
  std::map<std::string, unsigned> used_;
};

}  // namespace parvel
