#pragma once

#include <QStringList>
#include <string>
#include <vector>

namespace parvel {

// One choice of the Add Photos dialog's type list.
struct photo_filter_group {
  std::string name;                   // UTF-8
  std::vector<std::string> patterns;  // "*.png", lower case
};

// BMP, GIF, JPEG, PNG, PSD, RAW, TIFF, then "All Picture Files" (all of those
// patterns in that order) and "All Files" ("*.*"). HD Photo has no group of
// its own: its files are reached through "All Files".
std::vector<photo_filter_group> make_filter_groups();

// One entry of the type list: what it shows and the patterns it matches.
struct photo_filter_entry {
  std::string description;  // UTF-8
  std::string patterns;     // "*.jpg;*.jpeg;..."

  bool operator==(const photo_filter_entry&) const = default;
};

// One entry a group. The description is the group's name and its first seven
// patterns, "; ..." when more follow: "BMP (*.bmp; *.dib)"; the two "All"
// groups show their name alone. The patterns hold every one of them.
std::vector<photo_filter_entry> make_filter_text();

// The entries as Qt's file dialog takes them: the description, then every
// pattern in parentheses. A dialog that hides the filters' details shows the
// description alone; Qt's own dialog matches regardless of case.
QStringList make_dialog_filters();

// The filter the dialog opens with: "All Picture Files".
inline constexpr int all_pictures_filter_index = 7;

}  // namespace parvel
