#include "engine/photos/local_date.hpp"

#include <boost/date_time/gregorian/gregorian.hpp>
#include <mutex>

namespace parvel {

namespace {

std::mutex source_mutex;
std::function<std::string()> today_source;

}  // namespace

std::string today_iso_date() {
  {
    std::lock_guard lock(source_mutex);
    if (today_source) {
      return today_source();
    }
  }
  return boost::gregorian::to_iso_extended_string(boost::gregorian::day_clock::local_day());
}

void set_today_source(std::function<std::string()> source) {
  std::lock_guard lock(source_mutex);
  today_source = std::move(source);
}

}  // namespace parvel
