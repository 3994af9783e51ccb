#include "core/update/select_enclosure.hpp"

#include <exception>

#include "core/log/logger.hpp"

namespace core::update {

update_enclosure select_enclosure(const update_feed& feed, const std::string& platform) {
  update_enclosure chosen;
  for (unsigned e = 0; e < feed.entry_count(); ++e) {
    const update_entry& entry = feed.entry_value(e);
    core::version offered;
    try {
      parse_version_string(entry.version(), offered);
    } catch (const std::exception& error) {
      core::log::write(core::log::severity::warning,
                       "update_check: entry %u (id '%s', version '%s') skipped: %s", e + 1,
                       entry.id(), entry.version(), error.what());
      continue;
    }
    if (offered <= chosen.version) {
      continue;
    }
    for (unsigned l = 0; l < entry.link_count(); ++l) {
      const update_link& link = entry.link_value(l);
      if (link.platform() != platform) {
        continue;
      }
      chosen.version = offered;
      chosen.status = entry.status();
      chosen.content_type = entry.content_type();
      chosen.content = entry.content();
      chosen.title = link.title();
      chosen.href = link.href();
      chosen.length = link.length() > 0 ? static_cast<std::uint64_t>(link.length()) : 0;
      chosen.platform = link.platform();
      break;
    }
  }
  return chosen;
}

bool is_empty(const update_enclosure& enclosure) {
  return enclosure.title.empty() && enclosure.platform.empty() && enclosure.href.empty() &&
         enclosure.status.empty() && enclosure.version == core::version{};
}

}  // namespace core::update
