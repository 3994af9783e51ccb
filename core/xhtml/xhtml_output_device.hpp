#pragma once

#include <cstdint>
#include <string>

namespace core::xhtml {

// What commands hand to a device. Only the alignments and the colour change
// how text is drawn; the other fields take part in the default test alone.
struct text_context {
  std::string text;
  float size = 0.0f;
  std::uint8_t flag = 0;
  std::int32_t alignment = 0;       // 0 near, 1 center, 2 far
  std::int32_t line_alignment = 0;  // 0 near, 1 center, 2 far
  std::uint8_t alpha = 0;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  // All fields empty or zero: drawn opaque black and near-aligned.
  bool is_default() const;
};

enum special_char : std::int32_t { bullet = 0, line_break = 1 };

// Draws what a command tree asks for. Implementations keep a current
// position that only line breaks move down, and may say when they are full.
class xhtml_output_device {
 public:
  virtual ~xhtml_output_device() = default;

  virtual void print_special_char(std::int32_t code) = 0;
  virtual void print_text(const std::string& text) = 0;
  virtual void set_context(const text_context& context) = 0;
  virtual void get_context(text_context& context) const = 0;
  // Nothing more can be drawn: running a tree stops here.
  virtual bool full() const { return false; }
};

}  // namespace core::xhtml
