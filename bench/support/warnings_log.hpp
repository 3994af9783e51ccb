#pragma once

#include <iostream>

#include "core/log/logger.hpp"
#include "core/log/severity.hpp"

namespace bench {

// Failures and warnings only, to standard error: the jobs' own lines tell
// what went wrong, and nothing else mixes into the figures.
inline void log_warnings_to_stderr() {
  auto& logger = core::log::global_logger();
  logger.set_formatters(core::log::standard_chain());
  core::log::sink_record errors = core::log::make_sink(&std::cerr);
  errors.max_severity = core::log::severity::warning;
  logger.add_sink(errors);
}

}  // namespace bench
