#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tools/service/fault.hpp"

namespace service {

// A request target of the service's, taken apart. The addresses under a
// media entry <base>/atom/1.0/media/<id> are
//   /uploadticket/                      archive_ticket
//   /content?ticket=<t>                 archive
//   /thumbnail/                         thumbnail
//   /thumbnail/<n>/uploadticket/        thumbnail_ticket
//   /thumbnail/<n>/content?ticket=<t>   thumbnail_image
struct service_target {
  step kind = step::media;
  // Decimal digits, for the steps under a media entry.
  std::string media_id;
  // For thumbnail_ticket and thumbnail_image.
  unsigned thumbnail = 0;
  // The query's ticket, for the uploads; empty when there is none.
  std::string ticket;
  // For the feed steps: a plain file name, never "." or "..".
  std::string file_name;
};

// nullopt when the target is none of the service's.
std::optional<service_target> parse_target(std::string_view target);

// The method the step takes.
std::string_view step_method(step kind);

}  // namespace service
