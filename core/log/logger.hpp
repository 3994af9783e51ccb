#pragma once

#include <boost/format.hpp>
#include <list>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>

#include "core/log/formatters.hpp"
#include "core/log/severity.hpp"

namespace core::log {

struct sink_record {
  std::shared_ptr<std::ostream> stream;
  int max_severity = severity::all;
};

// The one global logger. Any thread may write: a record is formatted and
// written to every sink under one lock, so lines never interleave. The chain
// and the flush flag are set by start-up before other threads run.
template <class Char>
class basic_logger;

template <>
class basic_logger<char> {
 public:
  void write(int severity, const std::string& message);
  void add_sink(const sink_record& sink);

  void set_formatters(formatter_chain chain) { formatters_ = std::move(chain); }
  void set_flush(bool flush) { flush_ = flush; }
  void set_enabled(bool enabled) { enabled_ = enabled; }

 private:
  std::mutex mutex_;
  int max_severity_ = severity::all;
  std::list<sink_record> sinks_;
  bool flush_ = false;
  bool enabled_ = true;
  formatter_chain formatters_;
};

using logger = basic_logger<char>;

// The global logger, created on first use.
logger& global_logger();

// A sink record over stream: the standard streams are borrowed, any other
// stream is owned and deleted with the last copy of the record.
sink_record make_sink(std::ostream* stream);

// A buffered stream that hands each flushed record to standard error in one
// write, so lines from several processes sharing the terminal stay whole.
std::ostream* make_debug_out_stream();

// Logs at severity, building the message printf-style; arguments are never
// parsed as a format, so user text belongs in them, never in fmt.
template <class... Args>
void write(int severity, const char* fmt, const Args&... args) {
  boost::format f(fmt);
  if constexpr (sizeof...(Args) > 0) {
    (f % ... % args);
  }
  global_logger().write(severity, f.str());
}

inline void write(int severity, const std::string& message) {
  global_logger().write(severity, message);
}

}  // namespace core::log
