#pragma once

#include <cstdint>
#include <string>

#include "core/version.hpp"

namespace core::update {

// The update chosen from the feed, handed from the update check to the
// windows by copy.
struct update_enclosure {
  // The chosen link's title, platform and address (the installer's).
  std::string title;
  std::string platform;
  std::string href;
  // The installer's size in bytes as the link gives it; 0 when it gives none.
  std::uint64_t length = 0;
  // "critical" (exactly) makes the offer the urgent one.
  std::string status;
  core::version version;
  // The release notes; XHTML markup when content_type is "xhtml".
  std::string content;
  std::string content_type;
};

}  // namespace core::update
