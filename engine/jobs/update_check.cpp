#include "engine/jobs/update_check.hpp"

#include <stdexcept>

#include "core/com_apartment_guard.hpp"
#include "core/log/logger.hpp"
#include "core/update/select_enclosure.hpp"
#include "core/update/update_feed_handler.hpp"
#include "core/xml/xml_reader.hpp"
#include "engine/app/application.hpp"
#include "engine/app/service_addresses.hpp"

namespace parvel {

void update_check::run() {
  core::update::update_enclosure enclosure;
  bool newer = false;
  try {
    enclosure = fetch_enclosure();
    // The settings' version is written only at start-up, before any job.
    newer = enclosure.version > application::instance()->settings()->version;
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::error, "update_check failed: '%s'", e.what());
    signal_failed();
    return;
  }
  // Outside the try: a slot's exception must not add a second outcome.
  signal_succeeded(newer, enclosure);
}

core::update::update_enclosure update_check::fetch_enclosure() {
  const std::string body = feed_.get(update_feed_url());
  core::update::update_feed feed;
  {
    [[maybe_unused]] const core::com_apartment_guard apartment;
    core::update::update_feed_handler handler(&feed);
    core::xml_reader reader;
    reader.parse(&handler, body);
  }
  core::update::update_enclosure enclosure = core::update::select_enclosure(feed, "X86");
  if (core::update::is_empty(enclosure)) {
    throw std::runtime_error("No update enclosure found.");
  }
  core::log::write(core::log::severity::debug,
                   "update_check: package(title:%s, platform:%s, href:%s, version: %s, status: %s)",
                   enclosure.title, enclosure.platform, enclosure.href,
                   core::version_to_string(enclosure.version), enclosure.status);
  // The page would offer what the download must refuse.
  require_https_address(enclosure.href);
  return enclosure;
}

}  // namespace parvel
