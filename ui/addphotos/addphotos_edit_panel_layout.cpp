#include "ui/addphotos/addphotos_edit_panel_layout.hpp"

#include "ui/theme/window_value.hpp"

namespace parvel {

namespace {

QSize scaled(QSize size, double factor) {
  return {static_cast<int>(size.width() * factor), static_cast<int>(size.height() * factor)};
}

QSize field_size(QSize text) {
  return {text.width(), static_cast<int>(text.height() * 1.5)};
}

int bottom_of(const QRect& rect) {
  return rect.top() + rect.height();
}

}  // namespace

edit_panel_layout layout_edit_panel(const edit_panel_layout_input& in) {
  edit_panel_layout out;
  const QSize field = field_size(in.five_digits);
  const int gap = field.height() / 4;
  const int left = in.client.left();
  out.title = QRect(in.client.topLeft(), scaled(in.title_text, 1.2));
  const int fields_top = bottom_of(out.title) + gap;
  out.width = QRect(QPoint(left, fields_top), field);
  out.height = QRect(QPoint(left + field.width() + gap, fields_top), field);
  out.quality_label =
      QRect(QPoint(left, bottom_of(out.width) + 2 * gap), scaled(in.quality_text, 1.2));
  out.quality =
      QRect(QPoint(left, bottom_of(out.quality_label) + gap), field_size(in.three_digits));
  out.size_shown = in.resize_kind == resize_custom;
  out.quality_shown = in.format == convert_jpeg;
  return out;
}

std::optional<std::pair<QString, QString>> size_fields_for(const photo_resize_option& option,
                                                           bool typing) {
  switch (option.kind) {
    case resize_keep:
      return std::pair<QString, QString>();
    case resize_custom:
      if (typing)
        return std::nullopt;
      return std::pair<QString, QString>();
    default:
      return std::pair(QString::number(option.width), QString::number(option.height));
  }
}

photo_resize_option typed_custom_size(const QString& width, const QString& height) {
  return {resize_custom, parse_window_number<unsigned int>(width),
          parse_window_number<unsigned int>(height)};
}

std::optional<QString> clamped_quality(const QString& typed) {
  if (parse_window_number<int>(typed) > 100)
    return QStringLiteral("100");
  return std::nullopt;
}

}  // namespace parvel
