#include "ui/theme/window_value.hpp"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <charconv>
#include <string>

namespace parvel {

template <class T>
requires std::is_same_v<T, int> || std::is_same_v<T, unsigned int> T
parse_window_number(const QString& text) {
  std::string digits;
  digits.reserve(static_cast<std::size_t>(text.size()));
  for (const QChar c : text) {
    // Other scripts' digits and full-width signs are no number here.
    if (c.unicode() > 0x7f)
      return 0;
    digits.push_back(static_cast<char>(c.unicode()));
  }
  const char* first = digits.data();
  const char* const last = first + digits.size();
  const bool plus = first != last && *first == '+';
  if (plus)
    ++first;
  // from_chars takes a '-' of its own (for int only): never after a '+'.
  if (plus && first != last && *first == '-')
    return 0;
  T value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last || first == last)
    return 0;
  return value;
}

template int parse_window_number<int>(const QString&);
template unsigned int parse_window_number<unsigned int>(const QString&);

QString get_window_text(const QWidget& window) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(&window))
    return edit->text();
  if (const auto* edit = qobject_cast<const QPlainTextEdit*>(&window)) {
    return edit->toPlainText();
  }
  if (const auto* label = qobject_cast<const QLabel*>(&window))
    return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(&window))
    return button->text();
  return window.windowTitle();
}

void set_window_text(QWidget& window, const QString& text) {
  if (auto* edit = qobject_cast<QLineEdit*>(&window)) {
    edit->setText(text);
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(&window)) {
    plain->setPlainText(text);
  } else if (auto* label = qobject_cast<QLabel*>(&window)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(&window)) {
    button->setText(text);
  } else {
    window.setWindowTitle(text);
  }
}

}  // namespace parvel
