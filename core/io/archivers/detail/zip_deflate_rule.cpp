#include "core/io/archivers/detail/zip_deflate_rule.hpp"

namespace core::io::archivers::detail {

boost::iostreams::zlib_params raw_deflate() {
  boost::iostreams::zlib_params params(deflate_level);
  params.noheader = true;
  return params;
}

}  // namespace core::io::archivers::detail
