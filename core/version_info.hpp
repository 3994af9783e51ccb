#pragma once

#include <map>
#include <string>

#include "core/module.hpp"
#include "core/version.hpp"

namespace core {

// The version strings of the program's executable, set by the build:
// "ProductVersion", "FileVersion", "CompanyName", "InternalName" and
// "SpecialBuild", each present, empty when the build gives none. Any other
// file has no version strings: construction throws std::runtime_error
// "Version info not found: " + path.
class version_info {
 public:
  explicit version_info(const module_handle& module);
  explicit version_info(const std::string& path);

  const std::string& path() const { return path_; }
  // The value of key; an empty text for any other key.
  const std::string& get(const std::string& key) const;
  version product_version() const;

 private:
  std::string path_;
  std::map<std::string, std::string> strings_;
};

}  // namespace core
