#pragma once

#include <QString>
#include <type_traits>

class QWidget;

namespace parvel {

// Whole numbers as edits hold them: decimal digits taking the whole text,
// an optional sign in front ('-' only for int). Anything else, a number out
// of the type's range included, reads as 0; so a pasted "-1" is no unsigned
// number (4294967295) but 0.
template <class T>
requires std::is_same_v<T, int> || std::is_same_v<T, unsigned int> T
parse_window_number(const QString& text);

// The text a window shows: a label's, an edit's (single or multi-line), a
// button's, else the window title.
QString get_window_text(const QWidget& window);
void set_window_text(QWidget& window, const QString& text);

// A window's text read as an int, an unsigned int or as it stands.
template <class T>
T get_window_value(const QWidget& window) {
  if constexpr (std::is_same_v<T, QString>) {
    return get_window_text(window);
  } else {
    return parse_window_number<T>(get_window_text(window));
  }
}

inline void set_window_value(QWidget& window, int value) {
  set_window_text(window, QString::number(value));
}
inline void set_window_value(QWidget& window, unsigned int value) {
  set_window_text(window, QString::number(value));
}
inline void set_window_value(QWidget& window, const QString& value) {
  set_window_text(window, value);
}

}  // namespace parvel
