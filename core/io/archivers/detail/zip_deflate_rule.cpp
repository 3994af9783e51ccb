#include "core/io/archivers/detail/zip_deflate_rule.hpp"

namespace core::io::archivers::detail {

boost::iostreams::zlib_params raw_deflate() {
  boost::iostreams::zlib_params params(boost::iostreams::zlib::default_compression);
  params.noheader = true;
  return params;
}

}  // namespace core::io::archivers::detail
