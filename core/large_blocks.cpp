#include "core/large_blocks.hpp"

#include <malloc.h>

namespace core {

namespace {

// Well above the small allocations of parsing, requests and signals, which
// would pay a system call each; well below a photo's buffers.
constexpr int large_block_size = 1 << 20;

}  // namespace

void map_large_blocks() {
  // A fixed bound also fixes the top-of-heap trim threshold at its default,
  // so the main arena gives back its free end as well. mallopt fails only
  // under an allocator of another kind, which keeps its own policy.
  ::mallopt(M_MMAP_THRESHOLD, large_block_size);
}

}  // namespace core
