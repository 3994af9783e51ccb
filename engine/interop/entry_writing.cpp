#include "engine/interop/entry_writing.hpp"

#include "core/utf.hpp"
#include "engine/interop/command.hpp"

namespace parvel::interop {

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

void write_entry_start(std::string& out, const command& entry, bool declare_extension) {
  out += "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";
  out += "<atom:entry xmlns:atom=\"";
  out += xml_attribute_text(entry.namespace_uri());
  if (declare_extension) {
    out += "\" xmlns:lm=\"";
    out += xml_attribute_text(entry.extension_namespace);
    out += "\" >";
  } else {
    out += "\">";
  }
}

void write_category(std::string& out, const core::atom::atom_entry& entry) {
  out += "<atom:category scheme=\"";
  out += xml_attribute_text(entry.category_scheme());
  out += "\" term=\"";
  out += xml_attribute_text(entry.category_term());
  out += "\"/>";
}

}  // namespace parvel::interop
