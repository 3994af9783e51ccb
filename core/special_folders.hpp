#pragma once

#include <string>

namespace core {

// Folders of the user's session, by the XDG base-directory rules: a variable
// that is unset, empty or not an absolute path is ignored. Nothing is created.
// Without a home folder they throw windows_system_error
// "Cannot to get a system-wide directory.".

// $HOME, else the password database's entry of the user.
std::string home_folder();
// $XDG_CONFIG_HOME, else ~/.config.
std::string config_home_folder();
// The first folder of $XDG_CONFIG_DIRS, else /etc/xdg.
std::string system_config_folder();
// The local application-data folder: $XDG_DATA_HOME, else ~/.local/share.
std::string get_special_folder();
std::string get_local_app_data_folder();

}  // namespace core
