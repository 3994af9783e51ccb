#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace service {

// What the service takes from the entries the program posts.
struct media_entry {
  std::string mime_type;
  std::string format;
  std::string resolution;
  std::string original_name;
  std::uint32_t entries = 0;
  std::string client_type;
};

struct thumbnail_entry {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

struct package_entry {
  std::string from;
  std::string subject;
  std::string message;
  std::vector<std::string> recipients;
  // The address of the media entry the package sends.
  std::string media;
};

// Each reads the body of a posted entry. Throws refusal 400 when the body is
// not well-formed, is not an Atom entry whose category has the kind's term,
// or lacks what the kind needs.
media_entry read_media_entry(std::string_view body);
thumbnail_entry read_thumbnail_entry(std::string_view body);
package_entry read_package_entry(std::string_view body);

}  // namespace service
