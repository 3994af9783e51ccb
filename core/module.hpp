#pragma once

#include <cstdint>
#include <string>

namespace core {

// The running executable as a module; default-made, it names no module.
class module_handle {
 public:
  module_handle() = default;
  explicit operator bool() const noexcept { return current_; }

 private:
  friend module_handle get_current_module() noexcept;
  bool current_ = false;
};

module_handle get_current_module() noexcept;

// The full path of the module's executable file; empty for no module or when
// the system cannot tell.
std::string get_module_file_name(const module_handle& module);

// The bytes of the resource of the given number and type compiled into the
// module; empty for no module or no such resource.
std::string load_resource(const module_handle& module, std::uint16_t id, const std::string& type);
bool resource_exists(const module_handle& module, std::uint16_t id, const std::string& type);

}  // namespace core
