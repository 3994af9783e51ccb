#include "engine/photos/local_date.hpp"

#include <boost/date_time/gregorian/gregorian.hpp>

namespace parvel {

std::string today_iso_date() {
  return boost::gregorian::to_iso_extended_string(boost::gregorian::day_clock::local_day());
}

}  // namespace parvel
