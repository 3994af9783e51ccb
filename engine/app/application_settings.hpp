#pragma once

#include <string>

#include "core/key_value_params.hpp"
#include "core/version.hpp"
#include "engine/app/window_placement.hpp"

namespace parvel {

// The program's persisted settings. Read and written on the user-interface
// thread, except `version`, which the update check reads after construction.
class application_settings {
 public:
  explicit application_settings(std::string key_name) : key_name_(std::move(key_name)) {}
  application_settings(const application_settings&) = delete;
  application_settings& operator=(const application_settings&) = delete;

  // Reads the settings once, then every value on its own; a value that cannot
  // be read is logged and gets its default. Never throws.
  void load();
  // Writes "Placement" and "Fullscreen"; failures are logged. Never throws.
  void save();

  const std::string& key_name() const { return key_name_; }

  window_placement placement;
  bool fullscreen = false;
  core::version version;
  // The user-interface culture, for example en-US; empty means the built-in texts.
  std::string culture;
  // Option values the renaming popup keeps while the program runs; never saved.
  core::key_value_params params;
  // Whole https addresses replacing the service base and the update feed;
  // empty when the settings give none. Only read.
  std::string service_url;
  std::string feed_url;

 private:
  std::string key_name_;
};

}  // namespace parvel
