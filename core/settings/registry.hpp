#pragma once

#include <string>

#include "core/settings/settings_file.hpp"

namespace core {

// Text values of the program's settings, standing in for the registry: the
// key of a product is the file "<product>[/<sub-key>]/settings" under the
// user's configuration folder, read also under the system's. Reads take the
// user's value when it has one; writes go to the user's file only.

// The settings file of the key under the user's and under the system's folder.
std::string user_settings_path(const std::string& product, const std::string& sub_key);
std::string system_settings_path(const std::string& product, const std::string& sub_key);

// The values of one key, both files read once: for callers that read several
// values. A file that cannot be read holds nothing; without a home folder the
// user's file is skipped with a log line and the system's is still read.
class registry_key {
 public:
  registry_key(const std::string& product, const std::string& sub_key);

  // Throws windows_system_error "cannot read the registry. key: '<user file>',
  // value: '<name>'." (the system's file without a home folder) when neither
  // file holds the value, with the error of a file that could not be read
  // (the system's first), else "no such file".
  std::string read(const std::string& name) const;

 private:
  std::string key_path_;  // the file failures name
  settings_file user_;
  settings_file system_;
  int missing_error_;  // what a missing value reports
};

// One value, as registry_key::read.
std::string read_registry_string(const std::string& name, const std::string& sub_key,
                                 const std::string& product);
// Creates the user's folder with its parents. A file with lines that could not
// be read is moved aside before it is written over. Throws windows_system_error
// "cannot open the registry key: '<file>'." when the folder cannot be made or
// the file not read, and "cannot write the registry. key: '<file>', value:
// '<name>'." when the file cannot be written.
void write_registry_string(const std::string& name, const std::string& sub_key,
                           const std::string& product, const std::string& value);

}  // namespace core
