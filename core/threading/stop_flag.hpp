#pragma once

#include <atomic>

namespace core::threading {

// Asks long work to end early: set from any thread, looked at by the work at
// its own pace. Whoever sets it keeps it alive while the work may look.
using stop_flag = std::atomic<bool>;

// For work that nothing stops.
inline const stop_flag never_stopped{false};

}  // namespace core::threading
