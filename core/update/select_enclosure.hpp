#pragma once

#include <string>

#include "core/update/update_enclosure.hpp"
#include "core/update/update_feed.hpp"

namespace core::update {

// The package the feed offers for platform: of the entries with a link whose
// platform equals it exactly, the one with the highest version (the first of
// equal ones), with that entry's first such link. An entry's version must be
// above 0.0.0.0 to be chosen. An entry whose version cannot be read (none,
// not numeric, out of range) is skipped with a log line naming it, so that
// it hides no other. Nothing offered: a default enclosure.
update_enclosure select_enclosure(const update_feed& feed, const std::string& platform);

// Whether nothing was chosen: no title, platform, address or status and
// version 0.0.0.0; the release notes are not looked at.
bool is_empty(const update_enclosure& enclosure);

}  // namespace core::update
