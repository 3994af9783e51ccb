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

// The groups as Qt's file dialog takes them: "JPEG (*.jpg *.JPG ...)", each
// pattern followed by its upper-case twin, since a native dialog may match
// case.
QStringList make_dialog_filters();

// The filter the dialog opens with: "All Picture Files".
inline constexpr int all_pictures_filter_index = 7;

}  // namespace parvel
