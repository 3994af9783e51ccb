#pragma once

namespace core::threading {

// How a job's run ended.
enum class async_status {
  finished = 1,  // run returned
  failed = 2,    // an exception escaped run
};

}  // namespace core::threading
