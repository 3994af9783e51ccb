#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/key_value_params.hpp"

namespace core::net::http {

// The value of the first header whose name matches regardless of case, as
// HTTP names do; nullopt when there is none.
std::optional<std::string> find_header(const string_map& headers, std::string_view name);

}  // namespace core::net::http
