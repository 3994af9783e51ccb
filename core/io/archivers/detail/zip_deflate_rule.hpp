#pragma once

#include <cstdint>

#include <boost/iostreams/filter/zlib.hpp>

namespace core::io::archivers::detail {

// What decides how an entry is stored, shared by the streaming writer (zlib)
// and the in-memory compression (libdeflate): entries below stored_below
// bytes are stored; the rest are deflated at deflate_level, and stored
// instead when the deflated data would take more bytes than the entry itself.
// The two libraries' deflated bytes differ, so an entry's bytes depend on the
// path it takes; the job sends every entry of a given size the same way.
inline constexpr std::uint64_t stored_below = 6;
// zlib's default level.
inline constexpr int deflate_level = 6;

boost::iostreams::zlib_params raw_deflate();

}  // namespace core::io::archivers::detail
