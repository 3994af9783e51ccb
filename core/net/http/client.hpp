#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "core/net/http/request.hpp"
#include "core/net/http/response.hpp"

namespace core::net::http {

class exchange;

// Bytes of the current body done so far, and its total: the body size for
// uploads, the announced "Content-Length" (0 when absent) for downloads.
using progress_callback = std::function<void(std::uint64_t done, std::uint64_t total)>;

// A turn of a call whose proxy may still hold some of its request body.
using proxy_callback = std::function<void()>;

// Takes a response body piece by piece, in order, on the calling thread, as
// it arrives; an exception it throws ends the call and reaches the caller.
using body_sink = std::function<void(std::string_view piece)>;

// The most bytes a response body may hold, as it is kept whole in memory: a
// service answer or a feed. Callers that fetch more (an installer) say so.
inline constexpr std::uint64_t default_body_limit = std::uint64_t{16} << 20;

// Synchronous HTTP/1.1: each call runs one whole exchange on the calling
// thread over a connection of its own and returns the final response of any
// status. Certificates are always verified (the system's store, or the
// bundle that SSL_CERT_FILE names). Redirects are followed up to ten times,
// never from https to http; a request body goes out at most twice (once more
// for a redirect that repeats the request), and a redirect past that, or one
// that would make a GET of a request that may not change its method, is the
// answer. Nothing is retried.
//
// Failures: transport errors are transport_error (a core::windows_system_error)
// with the phase's prefix ("Cannot send the WinHTTP request.", "Failed to
// write request data to an HTTP server.", "Wait to receive the WinHTTP
// response failed.", "Failed to read data."), a core::winhttp_error code and
// libcurl's own words where it has more to say, and what had arrived of the
// answer when its body then failed (transport_error::arrived); a response body
// over the call's limit fails as a read, "Failed to read data." with EMSGSIZE,
// also a transport_error with what had arrived; an answer held to a deadline
// (basic_request::wait) that has not arrived whole by then fails as a
// time-out, as a stalled one does (through a proxy's tunnel neither the stall
// limit nor that deadline ends the call while the proxy may still be
// forwarding the request body, see timeouts::slowest_proxy_uplink);
// a cancelled call throws call_canceled, a std::runtime_error "WinHTTP close
// pending....", with the final answer's head when it had arrived.
//
// Calls are made one after another by one thread; cancel() may come from any.
class basic_client {
 public:
  basic_client() = default;
  basic_client(const basic_client&) = delete;
  basic_client& operator=(const basic_client&) = delete;
  virtual ~basic_client() = default;

  // Sends the request with its method, headers and memory body as they stand.
  // body_limit: the most bytes the response body may hold.
  basic_response send(basic_request& request, std::uint64_t body_limit = default_body_limit);
  basic_response get(basic_request& request, std::uint64_t body_limit = default_body_limit);
  // A GET whose successful (2xx) body goes to sink as it arrives, of any
  // size, and is not kept in the response; the body of any other answer is
  // kept as get keeps it.
  basic_response get(basic_request& request, const body_sink& sink);
  // Set "Content-Type" (when not empty) and "Content-Length" on the request.
  basic_response post(basic_request& request, const std::string& body,
                      const std::string& content_type);
  basic_response post_octets(basic_request& request, const std::string& body);
  basic_response put(basic_request& request, const std::string& body,
                     const std::string& content_type);

  // Called for each piece of at most 16384 bytes of a request body once it
  // has left the machine (the peer has taken it), on the calling thread, so
  // that progress follows the wire and not the kernel's buffer. Kept for
  // later calls.
  void set_upload_progress(progress_callback callback);
  // Called on the calling thread after each turn of a call whose request
  // body goes through a proxy's tunnel, from its connection until the answer
  // begins: the proxy may take the body ahead of its uplink and still be
  // forwarding it, unseen, so the request's time is not over when the body
  // has left. Each turn calls it before it reports the body's progress; once
  // the whole body has left, turns come at least once a second. Kept for
  // later calls.
  void set_proxy_holding(proxy_callback callback);
  // Called after each piece of a successful (2xx) response body arrives;
  // never for HEAD, a redirect or an error answer.
  void set_download_progress(progress_callback callback);

  // Stops the call in flight at once, also while it connects or waits for its
  // response. Its connection is reset rather than closed in good order: what
  // the kernel still held of it is dropped, so only what had left the
  // machine may reach the peer (a proxy may still forward what it took).
  // Without a call in flight it does nothing. Returns at once.
  void cancel() noexcept;

 protected:
  // Runs one exchange with the file at file_path as its body, or with
  // request.body when file_path is null; a successful answer's body goes to
  // sink when there is one.
  basic_response run(const basic_request& request, const std::string* file_path,
                     std::uint64_t body_limit, const body_sink& sink = {});

 private:
  // Guards active_ only; never held across network calls.
  std::mutex lock_;
  exchange* active_ = nullptr;
  progress_callback upload_progress_;
  proxy_callback proxy_holding_;
  progress_callback download_progress_;
};

// A client that can also PUT a file, streamed from disk.
class basic_file_client : public basic_client {
 public:
  // Fails before any network call with std::runtime_error "file: '" + path +
  // "' not found." or "not a regular file: " + path; a file that cannot be
  // read in full fails the call.
  basic_response put(basic_file_request& request, const std::string& content_type,
                     const std::string& file_path);
  using basic_client::put;
};

}  // namespace core::net::http
