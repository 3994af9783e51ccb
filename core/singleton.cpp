#include "core/singleton.hpp"

#include <stdexcept>

namespace core {

void on_dead_reference() { throw std::runtime_error("dead reference detected."); }

}  // namespace core
