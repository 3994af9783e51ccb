#include "engine/interop/ticket.hpp"

#include "engine/interop/entry_reading.hpp"
#include "engine/interop/ticket_handler.hpp"

namespace parvel::interop {

ticket ticket::parse(const std::string& body) {
  ticket entry;
  read_entry<ticket_handler>(entry, body);
  return entry;
}

}  // namespace parvel::interop
