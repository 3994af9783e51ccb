#pragma once

namespace core::log::severity {

// Smaller is more severe; a maximum of 5 lets every record through.
inline constexpr int error = 1;
inline constexpr int warning = 2;
inline constexpr int info = 3;
inline constexpr int debug = 4;
inline constexpr int all = 5;

}  // namespace core::log::severity
