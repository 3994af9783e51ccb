#include "tools/service/answer_entries.hpp"

#include <chrono>
#include <ctime>

#include "tools/service/protocol_names.hpp"

namespace service {

namespace {

// Values read from well-formed XML, so every character is one XML allows;
// white space in attributes is written as references so it survives reading.
std::string escaped(const std::string& value, bool in_attribute) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
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
      case '"':
        out += in_attribute ? "&quot;" : "\"";
        break;
      case '\r':
        out += "&#13;";
        break;
      case '\n':
        out += in_attribute ? "&#10;" : "\n";
        break;
      case '\t':
        out += in_attribute ? "&#9;" : "\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string attribute(const std::string& name, const std::string& value) {
  return " " + name + "=\"" + escaped(value, true) + "\"";
}

std::string text_element(const std::string& name, const std::string& value) {
  return "<" + name + ">" + escaped(value, false) + "</" + name + ">";
}

std::string now_utc() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm parts{};
  gmtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

// The Atom part every answer shares, up to its first link.
std::string entry_start(const std::string& id, const std::string& title, const std::string& kind,
                        const std::string& href) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<entry" +
         attribute("xmlns", std::string(atom_namespace)) +
         attribute("xmlns:lm", std::string(extension_namespace)) + ">" +
         text_element("id", "urn:lumbrel:" + kind + ":" + id) + text_element("title", title) +
         text_element("updated", now_utc()) + "<category" +
         attribute("scheme", std::string(kind_scheme)) + attribute("term", kind_term(kind)) + "/>" +
         (href.empty() ? "" : "<link" + attribute("rel", "edit") + attribute("href", href) + "/>");
}

constexpr const char* entry_end = "</entry>\n";

}  // namespace

std::string media_answer(const std::string& id, const std::string& href, const media_entry& media) {
  return entry_start(id, media.original_name, "media", href) + "<lm:media" +
         attribute("mime-type", media.mime_type) + attribute("format", media.format) +
         attribute("resolution", media.resolution) +
         attribute("original-name", media.original_name) +
         attribute("entries", std::to_string(media.entries)) +
         attribute("client-type", media.client_type) + "/>" + entry_end;
}

std::string thumbnail_answer(const std::string& id, const std::string& href,
                             const thumbnail_entry& thumbnail) {
  return entry_start(id, "Thumbnail " + id, "thumbnail", href) + "<lm:resolution" +
         attribute("width", std::to_string(thumbnail.width)) +
         attribute("height", std::to_string(thumbnail.height)) + "/>" + entry_end;
}

std::string package_answer(const std::string& id, const std::string& href,
                           const package_entry& package) {
  std::string text = entry_start(id, package.subject, "package", href) + "<lm:from" +
                     attribute("uid", package.from) + "/>" +
                     text_element("lm:subject", package.subject) +
                     text_element("lm:message", package.message);
  for (const auto& recipient : package.recipients) {
    text += "<lm:recipient" + attribute("uid", recipient) + "/>";
  }
  return text + "<lm:media" + attribute("href", package.media) + "/>" + entry_end;
}

std::string ticket_answer(const std::string& id, const std::string& content_type,
                          const std::string& address) {
  return entry_start(id, "Upload ticket", "ticket", "") + "<lm:ticket" +
         attribute("type", content_type) + ">" + escaped(address, false) + "</lm:ticket>" +
         entry_end;
}

}  // namespace service
