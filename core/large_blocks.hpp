#pragma once

namespace core {

// From here on every allocation of 1 MiB or more (a photo read whole, its
// decoded pixels, an archive entry) is mapped from the system on its own and
// unmapped when freed. Left to itself, glibc raises that bound to the size of
// the largest block freed so far (up to 32 MiB), after which such blocks come
// from the arena of the thread that asked: each job and imaging thread has
// one, and what they free stays there, so that a program sending photo after
// photo holds hundreds of megabytes it no longer uses. Process-wide; call
// before the first job starts. A no-op where the allocator is replaced
// (sanitizers).
void map_large_blocks();

}  // namespace core
