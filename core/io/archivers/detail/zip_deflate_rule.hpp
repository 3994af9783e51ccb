#pragma once

#include <cstdint>

#include <boost/iostreams/filter/zlib.hpp>

namespace core::io::archivers::detail {

// What decides how an entry is stored, shared by the streaming writer and the
// in-memory compression so both put the same bytes into an archive: entries
// below stored_below bytes are stored; the rest are deflated with
// raw_deflate(), and stored instead when the deflated data would take more
// bytes than the entry itself.
inline constexpr std::uint64_t stored_below = 6;

boost::iostreams::zlib_params raw_deflate();

}  // namespace core::io::archivers::detail
