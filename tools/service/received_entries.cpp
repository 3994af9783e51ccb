#include "tools/service/received_entries.hpp"

#include <algorithm>
#include <limits>

#include "tools/service/protocol_names.hpp"
#include "tools/service/refusal.hpp"
#include "tools/service/xml_tree.hpp"

namespace service {

namespace {

refusal bad_entry(const std::string& reason) {
  return refusal(400, reason);
}

// The root of an Atom entry of this kind.
xml_element read_entry(std::string_view body, std::string_view kind) {
  xml_element root;
  try {
    root = parse_xml(body);
  } catch (const xml_error& e) {
    throw bad_entry(std::string("the entry is not well-formed XML: ") + e.what());
  }
  if (root.namespace_uri != atom_namespace || root.name != "entry") {
    throw bad_entry("the body is not an Atom entry");
  }
  const auto categories = root.children_named(atom_namespace, "category");
  const auto category = std::find_if(categories.begin(), categories.end(), [](const auto* c) {
    const auto* scheme = c->attribute("scheme");
    return scheme != nullptr && *scheme == kind_scheme;
  });
  if (category == categories.end()) {
    throw bad_entry("the entry has no category of the scheme " + std::string(kind_scheme));
  }
  const auto* term = (*category)->attribute("term");
  const std::string expected = kind_term(kind);
  if (term == nullptr || *term != expected) {
    throw bad_entry("the entry's category term is '" + (term != nullptr ? *term : "") + "', not '" +
                    expected + "'");
  }
  return root;
}

const xml_element& only_extension(const xml_element& entry, std::string_view name) {
  const auto found = entry.children_named(extension_namespace, name);
  if (found.size() != 1) {
    throw bad_entry("the entry needs one extension element '" + std::string(name) + "', not " +
                    std::to_string(found.size()));
  }
  return *found.front();
}

std::string attribute(const xml_element& element, std::string_view name) {
  const auto* value = element.attribute(name);
  if (value == nullptr) {
    throw bad_entry("the element '" + element.name + "' has no attribute '" + std::string(name) +
                    "'");
  }
  return *value;
}

std::string filled_attribute(const xml_element& element, std::string_view name) {
  std::string value = attribute(element, name);
  if (value.empty()) {
    throw bad_entry("the attribute '" + std::string(name) + "' of the element '" + element.name +
                    "' is empty");
  }
  return value;
}

// Plain decimal digits, as the program writes numbers.
std::uint32_t number_attribute(const xml_element& element, std::string_view name) {
  const std::string text = attribute(element, name);
  const bool digits =
      !text.empty() && text.size() <= 10 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const std::uint64_t value = digits ? std::stoull(text) : 0;
  if (!digits || value > std::numeric_limits<std::uint32_t>::max()) {
    throw bad_entry("the attribute '" + std::string(name) + "' of the element '" + element.name +
                    "' is not a number: '" + text + "'");
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace

media_entry read_media_entry(std::string_view body) {
  const xml_element entry = read_entry(body, "media");
  const xml_element& media = only_extension(entry, "media");
  media_entry read;
  read.mime_type = filled_attribute(media, "mime-type");
  read.format = filled_attribute(media, "format");
  read.resolution = filled_attribute(media, "resolution");
  read.original_name = filled_attribute(media, "original-name");
  read.entries = number_attribute(media, "entries");
  read.client_type = filled_attribute(media, "client-type");
  return read;
}

thumbnail_entry read_thumbnail_entry(std::string_view body) {
  const xml_element entry = read_entry(body, "thumbnail");
  const xml_element& resolution = only_extension(entry, "resolution");
  thumbnail_entry read;
  read.width = number_attribute(resolution, "width");
  read.height = number_attribute(resolution, "height");
  if (read.width == 0 || read.height == 0) {
    throw bad_entry("a thumbnail of " + std::to_string(read.width) + " by " +
                    std::to_string(read.height) + " pixels is empty");
  }
  return read;
}

package_entry read_package_entry(std::string_view body) {
  const xml_element entry = read_entry(body, "package");
  package_entry read;
  read.from = filled_attribute(only_extension(entry, "from"), "uid");
  read.subject = only_extension(entry, "subject").text;
  read.message = only_extension(entry, "message").text;
  for (const auto* recipient : entry.children_named(extension_namespace, "recipient")) {
    read.recipients.push_back(filled_attribute(*recipient, "uid"));
  }
  if (read.recipients.empty()) {
    throw bad_entry("the package has no recipient");
  }
  read.media = filled_attribute(only_extension(entry, "media"), "href");
  return read;
}

}  // namespace service
