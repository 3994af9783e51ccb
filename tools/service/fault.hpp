#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace service {

// The requests of the service's exchange, in the order a send makes them,
// and the update feed's.
enum class step {
  media,             // POST <base>/atom/1.0/media/
  archive_ticket,    // POST <media>/uploadticket/
  archive,           // PUT of the archive to the ticket's address
  thumbnail,         // POST <media>/thumbnail/
  thumbnail_ticket,  // POST <thumbnail>/uploadticket/
  thumbnail_image,   // PUT of the JPEG to the ticket's address
  package,           // POST <base>/atom/1.0/package/
  feed,              // GET /content/parvel.feed.xml
  feed_file,         // GET /content/<any other file>
};

// What goes wrong with the requests of one step, as a test scripts it.
struct fault {
  // Requests of the step, counted from when the fault is set, that pass
  // untouched before it acts; how many it then acts on (absent: all).
  std::size_t skip = 0;
  std::optional<std::size_t> count;

  // Request side: a pause after the head before the body is read; the
  // connection closed once this many body bytes have arrived.
  std::chrono::milliseconds stall_request{0};
  std::optional<std::uint64_t> cut_request_after;
  // The body read in pieces of this many bytes with this pause between two,
  // behind a small receive buffer: a slow uplink, or a service that reads
  // slowly.
  std::size_t read_piece = 0;
  std::chrono::milliseconds read_pause{0};

  // This status, with its reason as the body, instead of the step's answer:
  // the step then takes no effect.
  std::optional<int> status;
  // Not empty: the step takes effect, but its answer's body is this instead
  // (bad XML, an entry without links; a blank for a body with nothing to read).
  std::string body;
  // Not empty: the answer's Content-Type is this instead. With status 200 and
  // a body, an answer of something in the service's stead, such as a
  // filtering front's block page.
  std::string content_type;
  // Not empty: a Location header on the answer, with a 3xx status a
  // redirect; "{target}" stands for the request's own target.
  std::string location;
  // Silence before the answer (a stall the client must time out).
  std::chrono::milliseconds delay{0};
  // The answer's body dripped: pieces of this many bytes with this pause
  // between two (an answer too slow to end, too steady to stall).
  std::size_t trickle_piece = 0;
  std::chrono::milliseconds trickle_pause{0};
  // The answer's body cut after this many bytes, short of its announced
  // length, and the connection closed.
  std::optional<std::size_t> cut_after;
  // Over TLS, that cut ends the session with a close_notify, as a peer that
  // shuts it down in good order would, rather than just closing.
  bool close_notify = false;
  // The step takes effect, then the connection is closed without an answer.
  bool drop = false;
  // Not empty: the step takes effect, then these bytes go out as they stand
  // instead of its answer, followed by `blanks` spaces (a body too large to
  // keep), and the connection is closed.
  std::string raw_answer;
  std::size_t blanks = 0;
};

}  // namespace service
