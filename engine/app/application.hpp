#pragma once

#include <memory>
#include <string>

#include "core/io/l10n/localization_table.hpp"
#include "core/io/l10n/parameter_provider.hpp"
#include "core/singleton.hpp"
#include "core/threading/concur_rt/crt_req_dispatch.hpp"
#include "engine/app/application_settings.hpp"

namespace parvel {

class controller;

// What the whole program shares: its names, settings and user-interface
// texts. Created on first use on the user-interface thread; the texts are
// loaded once there and only read afterwards, from any thread.
class application : public core::singleton<application>, public core::io::l10n::parameter_provider {
 public:
  const std::string& product_name() const { return product_name_; }
  // The product name and the first three numbers of the program's version.
  const std::string& product_title() const { return product_title_; }
  const std::string& mutex_name() const { return mutex_name_; }
  const std::shared_ptr<application_settings>& settings() const { return settings_; }
  const core::io::l10n::localization_table& localization() const { return localization_; }
  const std::shared_ptr<parvel::controller>& controller() const { return controller_; }
  core::threading::concur_rt::crt_req_dispatch& dispatcher() { return dispatcher_; }

  // The text of id with "[ProductName]" filled; a missing id gives the id.
  std::string get_localized_string(const std::string& id) const;
  std::u16string get_localized_wstring(const std::string& id) const;

  // Answers "ProductName" (exactly so spelled) with the product name.
  bool get_parameter(const std::string& name, std::string& value) override;

  // Loads the culture's table from "Cultures.zip" beside the program, else
  // the built-in table; failures are logged.
  void load_localization();

 private:
  friend class core::singleton<application>;
  application();

  std::string product_name_;
  std::string product_title_;
  std::string mutex_name_;
  std::shared_ptr<application_settings> settings_;
  core::io::l10n::localization_table localization_;
  std::shared_ptr<parvel::controller> controller_;
  // Last, so it goes first: it cancels and waits for every job before the
  // controller they emit into is destroyed.
  core::threading::concur_rt::crt_req_dispatch dispatcher_;
};

}  // namespace parvel
