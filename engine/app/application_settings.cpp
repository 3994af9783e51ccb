#include "engine/app/application_settings.hpp"

#include <algorithm>
#include <boost/lexical_cast.hpp>
#include <exception>

#include "core/base64.hpp"
#include "core/log/logger.hpp"
#include "core/module.hpp"
#include "core/net/uri.hpp"
#include "core/settings/registry.hpp"
#include "core/version_info.hpp"

namespace parvel {

namespace {

namespace sev = core::log::severity;

// Runs one read or write; a failure is logged with its text alone.
template <class Action>
bool attempt(Action&& action) {
  try {
    action();
    return true;
  } catch (const std::exception& e) {
    core::log::write(sev::debug, "%s", e.what());
    return false;
  }
}

bool has_control_characters(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

bool is_https_address(const std::string& text) {
  try {
    const core::net::uri address(text);
    return address.scheme() == "https" && !address.host().empty() && !has_control_characters(text);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

void application_settings::load() {
  const core::registry_key key(key_name_, "");
  const auto read = [&key](const char* name) { return key.read(name); };

  if (!attempt([&] { placement = placement_from_bytes(core::base64_decode(read("Placement"))); })) {
    placement = window_placement{};
  }

  if (!attempt([&] { fullscreen = boost::lexical_cast<bool>(read("Fullscreen")); })) {
    fullscreen = false;
  }

  if (!attempt([&] { core::parse_version_string(read("Version"), version); })) {
    version = core::version{};
    attempt([&] { version = core::version_info(core::get_current_module()).product_version(); });
  }

  if (!attempt([&] { culture = read("Culture"); })) {
    culture.clear();
  }
  // The culture goes into a request header and a file name.
  if (has_control_characters(culture) || culture.find('/') != std::string::npos) {
    core::log::write(sev::warning, "Culture ignored: not a culture name");
    culture.clear();
  }

  // Absent unless a test or a local run points the program elsewhere.
  for (auto [name, target] :
       {std::pair{"ServiceUrl", &service_url}, std::pair{"FeedUrl", &feed_url}}) {
    target->clear();
    std::string value;
    try {
      value = read(name);
    } catch (const std::exception&) {
      continue;
    }
    if (is_https_address(value)) {
      *target = value;
    } else {
      core::log::write(sev::warning, "%s ignored: not an https address: '%s'", name, value);
    }
  }
}

void application_settings::save() {
  const auto write = [this](const char* name, const std::string& value) {
    core::write_registry_string(name, "", key_name_, value);
  };
  attempt([&] { write("Placement", core::base64_encode(to_bytes(placement))); });
  attempt([&] { write("Fullscreen", fullscreen ? "1" : "0"); });
}

}  // namespace parvel
