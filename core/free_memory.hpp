#pragma once

namespace core {

// Hands the memory freed into the allocator's per-thread pools back to the
// system. Safe from any thread at any time.
void release_free_memory();

}  // namespace core
