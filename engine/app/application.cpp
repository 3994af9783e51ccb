#include "engine/app/application.hpp"

#include <exception>
#include <filesystem>

#include "core/io/l10n/load_localization.hpp"
#include "core/large_blocks.hpp"
#include "core/log/logger.hpp"
#include "core/module.hpp"
#include "core/resources/resource_location_inprocess.hpp"
#include "core/resources/resource_location_zip.hpp"
#include "core/utf.hpp"
#include "core/version_strings.hpp"
#include "engine/controller/controller.hpp"

namespace parvel {

namespace {

// "1.0.3.7" gives "1.0.3".
std::string first_three_numbers(const std::string& version) {
  std::size_t at = 0;
  for (int dots = 0; dots < 3; ++dots) {
    at = version.find('.', at);
    if (at == std::string::npos) {
      return version;
    }
    ++at;
  }
  return version.substr(0, at - 1);
}

}  // namespace

application::application()
    : product_name_("Lumbrel Send Photo"),
      product_title_(product_name_ + " " + first_three_numbers(core::build::product_version)),
      mutex_name_("Local\\lumbrel_parvel"),
      settings_(std::make_shared<application_settings>(product_name_)),
      localization_(this),
      controller_(std::make_shared<parvel::controller>()) {
  // Before any job: the archive and upload jobs free large buffers on
  // threads that come and go with each send.
  core::map_large_blocks();
  settings_->load();
  load_localization();
}

std::string application::get_localized_string(const std::string& id) const {
  return localization_.text(id);
}

std::u16string application::get_localized_wstring(const std::string& id) const {
  return core::utf8_to_wide(get_localized_string(id));
}

bool application::get_parameter(const std::string& name, std::string& value) {
  if (name != "ProductName") {
    return false;
  }
  value = product_name_;
  return true;
}

void application::load_localization() {
  localization_.clear();
  const std::string& culture = settings_->culture;
  if (!culture.empty()) {
    try {
      const std::filesystem::path program(core::get_module_file_name(core::get_current_module()));
      const core::resource_location_zip cultures("cultures",
                                                 (program.parent_path() / "Cultures.zip").string());
      core::io::l10n::load_localization(localization_, cultures.read("parvel_" + culture + ".xml"));
    } catch (const std::exception& e) {
      core::log::write(core::log::severity::debug, "%s", e.what());
      localization_.clear();
    }
  }
  if (localization_.strings().empty()) {
    try {
      const core::resource_location_inprocess builtin("inprocess", "RT_BIN");
      core::io::l10n::load_localization(localization_, builtin.read("132"));
    } catch (const std::exception& e) {
      core::log::write(core::log::severity::debug, "%s", e.what());
    }
  }
}

}  // namespace parvel
