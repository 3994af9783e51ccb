#include "core/graphics/xhtml_gdiplus_output_device.hpp"

#include <QFontMetricsF>
#include <QPainter>

namespace core::graphics {

namespace {

constexpr float line_spacing = 1.5f;

int horizontal_flag(std::int32_t alignment, int current) {
  switch (alignment) {
    case 0:
      return Qt::AlignLeft;
    case 1:
      return Qt::AlignHCenter;
    case 2:
      return Qt::AlignRight;
    default:
      return current & Qt::AlignHorizontal_Mask;
  }
}

int vertical_flag(std::int32_t alignment, int current) {
  switch (alignment) {
    case 0:
      return Qt::AlignTop;
    case 1:
      return Qt::AlignVCenter;
    case 2:
      return Qt::AlignBottom;
    default:
      return current & Qt::AlignVertical_Mask;
  }
}

}  // namespace

xhtml_gdiplus_output_device::xhtml_gdiplus_output_device(QPainter& painter, const QRectF& layout,
                                                         const QFont& font)
    : painter_(painter), layout_(layout), font_(font) {
  apply_context();
}

void xhtml_gdiplus_output_device::apply_context() {
  if (context_.is_default()) {
    alignment_ = Qt::AlignLeft | Qt::AlignTop;
    brush_ = QBrush(QColor(0, 0, 0, 255));
    return;
  }
  alignment_ = horizontal_flag(context_.alignment, alignment_) |
               vertical_flag(context_.line_alignment, alignment_);
  brush_ = QBrush(QColor(context_.red, context_.green, context_.blue, context_.alpha));
}

void xhtml_gdiplus_output_device::set_context(const core::xhtml::text_context& context) {
  context_ = context;
  apply_context();
  indent_ = 0.0f;
}

void xhtml_gdiplus_output_device::get_context(core::xhtml::text_context& context) const {
  context = context_;
}

bool xhtml_gdiplus_output_device::full() const {
  return layout_.height() <= 0 || layout_.width() <= 0;
}

QRectF xhtml_gdiplus_output_device::indented_layout() const {
  QRectF rect = layout_;
  if (indent_ > 0.0f)
    rect.setLeft(rect.left() + indent_);
  return rect;
}

QRectF xhtml_gdiplus_output_device::measure(const QRectF& rect, const QString& text) {
  const QRectF box = QFontMetricsF(font_, painter_.device())
                         .boundingRect(rect, alignment_ | Qt::TextWordWrap, text);
  line_height_ = static_cast<float>(box.height()) * line_spacing;
  indent_ = static_cast<float>(box.width());
  return box;
}

void xhtml_gdiplus_output_device::print_text(const std::string& text) {
  const QString wide = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QRectF rect = indented_layout();
  measure(rect, wide);
  painter_.save();
  painter_.setFont(font_);
  painter_.setPen(QPen(brush_, 1.0));
  painter_.drawText(rect, alignment_ | Qt::TextWordWrap, wide);
  painter_.restore();
}

void xhtml_gdiplus_output_device::print_special_char(std::int32_t code) {
  if (code == core::xhtml::bullet) {
    const QRectF box = measure(indented_layout(), QStringLiteral("W"));
    const qreal diameter = box.height() / 3.0;
    painter_.save();
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(brush_);
    painter_.drawEllipse(box.center(), diameter / 2.0, diameter / 2.0);
    painter_.restore();
  } else if (code == core::xhtml::line_break) {
    layout_.setTop(layout_.top() + line_height_);  // the bottom stays: the height shrinks
    // A new line starts at the left edge; an item's bullet shifts it again.
    indent_ = 0.0f;
  }
}

}  // namespace core::graphics
