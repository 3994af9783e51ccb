#include "core/xml/xml_escape.hpp"

#include "core/utf.hpp"

namespace core {

namespace {

enum class context { text, attribute };

std::string escaped(std::string_view value, context where) {
  const std::string valid = core::to_valid_utf8(value);
  std::string out;
  out.reserve(valid.size());
  for (std::size_t i = 0; i < valid.size(); ++i) {
    const char c = valid[i];
    // U+FFFE and U+FFFF are the only forbidden characters outside ASCII
    // that valid UTF-8 can hold.
    if (c == '\xEF' && i + 2 < valid.size() && valid[i + 1] == '\xBF' &&
        (valid[i + 2] == '\xBE' || valid[i + 2] == '\xBF')) {
      i += 2;
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '\r':
        out += "&#13;";
        break;
      case '"':
        out += where == context::attribute ? "&quot;" : "\"";
        break;
      case '\t':
        out += where == context::attribute ? "&#9;" : "\t";
        break;
      case '\n':
        out += where == context::attribute ? "&#10;" : "\n";
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20) {
          out += c;
        }
    }
  }
  return out;
}

}  // namespace

std::string xml_text(std::string_view value) {
  return escaped(value, context::text);
}

std::string xml_attribute_text(std::string_view value) {
  return escaped(value, context::attribute);
}

}  // namespace core
