#pragma once

#include <memory>
#include <string>

#include "core/key_value_params.hpp"

namespace parvel {

class rename_alg;

// What the counter item's two fields hold.
struct counter_values {
  unsigned start = 0;
  unsigned digits = 1;

  bool operator==(const counter_values&) const = default;
};

// The widest zero-filling the digits field accepts.
inline constexpr unsigned max_counter_digits = 8;

// "init_value", "step" (always 1) and "digits" as decimal texts.
void save_counter_values(core::key_value_params& params, const counter_values& values);
// Missing keys keep 0 and 1; an unreadable value counts as 0.
counter_values load_counter_values(const core::key_value_params& params);

// The text under key, or empty.
std::string load_text_value(const core::key_value_params& params, const std::string& key);

std::shared_ptr<rename_alg> make_text_alg(std::string text);
std::shared_ptr<rename_alg> make_counter_alg(const counter_values& values);

}  // namespace parvel
