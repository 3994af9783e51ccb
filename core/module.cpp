#include "core/module.hpp"

#include <unistd.h>

#include <algorithm>
#include <vector>

#include "core/resources/embedded_resources.hpp"

namespace core {

namespace {

const embedded_resource* find_resource(const module_handle& module, std::uint16_t id,
                                       const std::string& type) {
  if (!module) {
    return nullptr;
  }
  const embedded_resource* end = embedded_resources + embedded_resource_count;
  const embedded_resource* found = std::find_if(
      embedded_resources, end, [&](const auto& r) { return r.id == id && type == r.type; });
  return found == end ? nullptr : found;
}

}  // namespace

module_handle get_current_module() noexcept {
  module_handle module;
  module.current_ = true;
  return module;
}

std::string get_module_file_name(const module_handle& module) {
  if (!module) {
    return {};
  }
  std::vector<char> buffer(261);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0) {
      return {};
    }
    // A result that fills the buffer may have been cut: try a larger one.
    if (static_cast<std::size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string load_resource(const module_handle& module, std::uint16_t id, const std::string& type) {
  const embedded_resource* resource = find_resource(module, id, type);
  if (resource == nullptr) {
    return {};
  }
  return std::string(reinterpret_cast<const char*>(resource->data), resource->size);
}

bool resource_exists(const module_handle& module, std::uint16_t id, const std::string& type) {
  return find_resource(module, id, type) != nullptr;
}

}  // namespace core
