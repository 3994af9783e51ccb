#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace parvel {

// On X11 a start's activation token is its startup notification id, which
// ends in "_TIME" and the X server time of the user's action that started it.

// The time the id names; none when it ends otherwise, or names time 0 or one
// beyond 32 bits.
std::optional<std::uint32_t> startup_id_time(const QString& startup_id);

// The id of a start this process made itself at the X server time given.
QString own_startup_id(std::uint32_t time);

}  // namespace parvel
