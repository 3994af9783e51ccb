#pragma once

#include <cstddef>
#include <cstdint>

namespace core {

// One file compiled into the program by the build, found by type and number.
struct embedded_resource {
  const char* type;
  std::uint16_t id;
  const unsigned char* data;
  std::size_t size;
};

// The build generates the table from the resource list of the core library.
extern const embedded_resource embedded_resources[];
extern const std::size_t embedded_resource_count;

}  // namespace core
