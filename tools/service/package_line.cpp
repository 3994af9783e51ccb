#include "tools/service/package_line.hpp"

#include <cstdio>

namespace service {

namespace {

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::string package_line(const package_entry& package, const std::string& archive_name,
                         std::uint64_t archive_size) {
  std::string line = "package from " + quoted(package.from) + " to ";
  for (std::size_t i = 0; i < package.recipients.size(); ++i) {
    line += (i > 0 ? ", " : "") + quoted(package.recipients[i]);
  }
  return line + "; subject " + quoted(package.subject) + "; archive " + quoted(archive_name) +
         " (" + std::to_string(archive_size) + " bytes)";
}

}  // namespace service
