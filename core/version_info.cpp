#include "core/version_info.hpp"

#include <filesystem>
#include <stdexcept>

#include "core/version_strings.hpp"

namespace core {

version_info::version_info(const module_handle& module)
    : version_info(get_module_file_name(module)) {}

version_info::version_info(const std::string& path) : path_(path) {
  std::error_code ignored;
  const std::string own_path = get_module_file_name(get_current_module());
  if (path.empty() || own_path.empty() || !std::filesystem::equivalent(path, own_path, ignored)) {
    throw std::runtime_error("Version info not found: " + path);
  }
  strings_ = {{"ProductVersion", build::product_version},
              {"FileVersion", build::file_version},
              {"CompanyName", build::company_name},
              {"InternalName", build::internal_name},
              {"SpecialBuild", build::special_build}};
}

const std::string& version_info::get(const std::string& key) const {
  static const std::string empty;
  const auto found = strings_.find(key);
  return found == strings_.end() ? empty : found->second;
}

version version_info::product_version() const {
  version v;
  parse_version_string(get("ProductVersion"), v);
  return v;
}

}  // namespace core
