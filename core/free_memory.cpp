#include "core/free_memory.hpp"

#include <malloc.h>

#include <mutex>

namespace core {

void release_free_memory() {
  // glibc sets its allocator up at the first call into it, and marks it ready
  // before its lists are made. Where another allocator owns malloc (the
  // sanitizers'), that first call is a trim, and a second thread's trim
  // meanwhile would walk the unmade lists: the first trim is made alone, the
  // others wait for it.
  static std::once_flag first_trim;
  bool trimmed = false;
  std::call_once(first_trim, [&trimmed] {
    ::malloc_trim(0);
    trimmed = true;
  });
  if (!trimmed) {
    ::malloc_trim(0);
  }
}

}  // namespace core
