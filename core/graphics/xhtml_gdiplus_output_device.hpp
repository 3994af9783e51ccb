#pragma once

#include <QBrush>
#include <QFont>
#include <QRectF>
#include <QString>

#include "core/xhtml/xhtml_output_device.hpp"

class QPainter;

namespace core::graphics {

// Draws release notes with QPainter into a layout rectangle: text wraps
// within its width, and only line breaks move down. The painter and the
// font's owner must outlive the device; one device serves one drawing pass.
class xhtml_gdiplus_output_device : public core::xhtml::xhtml_output_device {
 public:
  xhtml_gdiplus_output_device(QPainter& painter, const QRectF& layout, const QFont& font);
  xhtml_gdiplus_output_device(const xhtml_gdiplus_output_device&) = delete;
  xhtml_gdiplus_output_device& operator=(const xhtml_gdiplus_output_device&) = delete;

  void print_special_char(std::int32_t code) override;
  void print_text(const std::string& text) override;
  void set_context(const core::xhtml::text_context& context) override;
  void get_context(core::xhtml::text_context& context) const override;
  // Line breaks have moved the rectangle's top to its bottom: what follows
  // would be clipped away.
  bool full() const override;

  // What the next operation starts from: the rectangle (y and height move
  // with line breaks), 1.5 x the height measured last, and the width
  // measured last, by which the next text is shifted right.
  const QRectF& layout() const { return layout_; }
  float line_height() const { return line_height_; }
  float indent() const { return indent_; }

 private:
  // The layout rectangle shifted right and narrowed by the indent.
  QRectF indented_layout() const;
  // The measured box of text in rect, and the measure the next operation
  // starts from.
  QRectF measure(const QRectF& rect, const QString& text);
  void apply_context();

  QPainter& painter_;
  QRectF layout_;
  float line_height_ = 0.0f;
  core::xhtml::text_context context_;
  QBrush brush_;
  QFont font_;
  int alignment_ = 0;  // Qt::Alignment flags of the string format
  float indent_ = 0.0f;
};

}  // namespace core::graphics
