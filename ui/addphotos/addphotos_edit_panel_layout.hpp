#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>
#include <utility>

#include "engine/options/photo_convert_option.hpp"
#include "engine/options/photo_resize_option.hpp"

namespace parvel {

// What the size edit panel's layout measures.
struct edit_panel_layout_input {
  QRect client;
  QSize five_digits;              // "WWWWW" in the width field's font
  QSize three_digits;             // "WWW" in the same font
  QSize title_text;               // the title's text
  QSize quality_text;             // the quality label's text
  int resize_kind = resize_keep;  // the resize manager's current kind
  int format = convert_keep;      // the convert manager's current format
};

// The title and the width and height fields, shown for a custom size; the
// quality label and field below them, shown for JPEG, in their place also
// while the size group is hidden.
struct edit_panel_layout {
  QRect title;
  QRect width;
  QRect height;
  QRect quality_label;
  QRect quality;
  bool size_shown = false;
  bool quality_shown = false;
};
edit_panel_layout layout_edit_panel(const edit_panel_layout_input& in);

// The width and height fields' texts after the current size changed, or
// nullopt to leave them: emptied for "Do not change", emptied for a custom
// size unless the user is typing it, a preset's width and height otherwise.
std::optional<std::pair<QString, QString>> size_fields_for(const photo_resize_option& option,
                                                           bool typing);

// The custom size the two fields hold; what is no number reads as 0.
photo_resize_option typed_custom_size(const QString& width, const QString& height);

// The quality field's text when what was typed exceeds 100: "100".
std::optional<QString> clamped_quality(const QString& typed);

}  // namespace parvel
