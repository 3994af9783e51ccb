#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/service/received_entries.hpp"

namespace service {

// What the service keeps of a send, in memory for tests and as files under
// its data folder: <data>/<media id>/ holds media.xml, archive.zip,
// thumbnail-<n>.xml, thumbnail-<n>.jpg and package.xml.
struct kept_thumbnail {
  // 1, 2, ... within its media.
  unsigned number = 0;
  std::string href;
  // The entry as received.
  std::string entry;
  thumbnail_entry read;
  // Empty until its image has arrived whole.
  std::filesystem::path image;
};

struct kept_media {
  std::string id;
  std::string href;
  std::string entry;
  media_entry read;
  // Empty until the archive has arrived whole.
  std::filesystem::path archive;
  std::uint64_t archive_size = 0;
  std::vector<kept_thumbnail> thumbnails;
  bool packaged = false;
};

struct kept_package {
  std::string media_id;
  std::string entry;
  package_entry read;
  // Empty when the request had none.
  std::string accept_language;
  // The line printed for it.
  std::string line;
};

}  // namespace service
