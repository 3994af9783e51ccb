#include "core/log/logger.hpp"

#include <boost/iostreams/categories.hpp>
#include <boost/iostreams/stream.hpp>
#include <cerrno>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace core::log {

namespace {

// The debugger output of the platform the program came from is standard error here.
class debug_out_sink {
 public:
  using char_type = char;
  using category = boost::iostreams::sink_tag;

  std::streamsize write(const char* s, std::streamsize n) {
    std::streamsize done = 0;
    while (done < n) {
      const ssize_t written = ::write(STDERR_FILENO, s + done, static_cast<size_t>(n - done));
      if (written < 0 && errno == EINTR) {
        continue;
      }
      if (written <= 0) {
        break;  // Nowhere to log to: drop the rest rather than fail the caller.
      }
      done += written;
    }
    return n;
  }
};

}  // namespace

void basic_logger<char>::write(int severity, const std::string& message) {
  if (!enabled_ || severity > max_severity_) {
    return;
  }
  std::lock_guard lock(mutex_);
  const record r{severity, message};
  for (const sink_record& sink : sinks_) {
    if (severity > sink.max_severity || !sink.stream) {
      continue;
    }
    std::string line;
    for (const auto& formatter : formatters_) {
      line += formatter->format(r);
    }
    std::ostream& out = *sink.stream;
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    if (flush_ && out.good()) {
      out.flush();
    }
  }
}

void basic_logger<char>::add_sink(const sink_record& sink) {
  std::lock_guard lock(mutex_);
  sinks_.push_back(sink);
}

logger& global_logger() {
  // Never destroyed: jobs may still log while static objects go at exit.
  static logger* const instance = new logger;
  return *instance;
}

sink_record make_sink(std::ostream* stream) {
  sink_record sink;
  if (stream == &std::cout || stream == &std::cerr || stream == &std::clog) {
    sink.stream = std::shared_ptr<std::ostream>(stream, [](std::ostream*) {});
  } else if (stream != nullptr) {
    sink.stream = std::shared_ptr<std::ostream>(stream);
  }
  return sink;
}

std::ostream* make_debug_out_stream() {
  return new boost::iostreams::stream<debug_out_sink>(debug_out_sink{});
}

}  // namespace core::log
