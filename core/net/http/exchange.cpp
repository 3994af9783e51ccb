#include "core/net/http/exchange.hpp"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <boost/algorithm/string/predicate.hpp>
#include <boost/lexical_cast.hpp>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "core/net/http/call_canceled.hpp"
#include "core/net/http/find_header.hpp"
#include "core/net/http/header_line.hpp"
#include "core/net/http/method.hpp"
#include "core/net/http/raw_headers.hpp"
#include "core/net/http/request_wire.hpp"
#include "core/net/http/timeouts.hpp"
#include "core/net/http/transport_error.hpp"
#include "core/system_error.hpp"

namespace core::net::http {

namespace {

// The most a request body piece carries: bounds the time between two
// progress reports.
constexpr std::size_t piece_size = 16384;
// libcurl's buffer for a request body, filled by one read of the body each
// turn of the transfer: four pieces a turn, as curl itself takes, rather than
// a turn (two polls) and a copy for each piece. Larger buffers cost more: they
// fall out of the processor's cache between the file read and the encryption.
constexpr std::size_t upload_buffer_size = 4 * piece_size;
constexpr int redirect_limit = 10;
// A body goes out at most this often in one call: once, and once more for a
// redirect that repeats the request. A loop of such redirects would send a
// large upload again and again; the next one is the answer.
constexpr int body_send_limit = 2;
// The longest a call sleeps between two turns of its transfer when neither
// the connection nor one of libcurl's timers needs it; a cancel wakes it.
constexpr int idle_wait_ms = 1000;
// The same while request bytes wait in the socket: the kernel sends them
// without waking the call, whose progress follows them this often.
constexpr int draining_wait_ms = 200;

constexpr char open_failed[] = "Cannot initialize WinHTTP for the application.";
constexpr char connect_failed[] = "Cannot create a new WinHTTP connection.";
constexpr char request_failed[] = "Cannot create a new WinHTTP reqest.";
constexpr char header_failed[] = "Cannot add a header to WinHTTP reqest.";
constexpr char certificate_failed[] = "Cannot update the WinHTTP certificate validation settings.";

// Where a call stands; a transport failure is reported with its phase's text.
enum class phase { sending, writing, receiving, reading };

const char* prefix_of(phase current) {
  switch (current) {
    case phase::sending:
      return "Cannot send the WinHTTP request.";
    case phase::writing:
      return "Failed to write request data to an HTTP server.";
    case phase::receiving:
      return "Wait to receive the WinHTTP response failed.";
    case phase::reading:
      return "Failed to read data.";
  }
  return "";
}

// The code callers tell transport failures apart by; 0 for failures that
// have none (memory, misuse), which are reported with libcurl's own text.
std::uint32_t winhttp_code(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_CONNECT:
      return winhttp_error::cannot_connect;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return winhttp_error::name_not_resolved;
    case CURLE_OPERATION_TIMEDOUT:
      return winhttp_error::timeout;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
      return winhttp_error::secure_failure;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
      return winhttp_error::connection_error;
    // Only http and https are enabled: this one means a reply that is not HTTP.
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_WEIRD_SERVER_REPLY:
      return winhttp_error::invalid_server_response;
    default:
      return 0;
  }
}

// detail: the transport's own account of the failure, when it has one
// beyond the code's text; arrived: what had come of the answer.
[[noreturn]] void fail(const char* prefix, CURLcode code, const std::string& detail = {},
                       basic_response arrived = {}) {
  if (const std::uint32_t winhttp = winhttp_code(code)) {
    throw transport_error(prefix, winhttp, detail, std::move(arrived));
  }
  std::string text = std::string(prefix) + ": " + curl_easy_strerror(code);
  if (!detail.empty()) {
    text += " (" + detail + ")";
  }
  throw std::runtime_error(text);
}

// What libcurl wrote into the transfer's error buffer, unless it only
// repeats the code's text.
std::string curl_detail(const char* error_text, CURLcode code) {
  return std::strcmp(error_text, curl_easy_strerror(code)) == 0 ? std::string() : error_text;
}

void check(const char* prefix, CURLMcode code) {
  if (code == CURLM_OUT_OF_MEMORY) {
    throw windows_system_error(prefix, ENOMEM);
  }
  if (code != CURLM_OK) {
    throw std::runtime_error(std::string(prefix) + ": " + curl_multi_strerror(code));
  }
}

// Answers are held whole in memory: one longer than its call allows fails as
// a failed read, before it can take more. The head that arrived goes with it,
// as with a body cut short: the peer has acted on the request.
transport_error body_too_large(const basic_response& arrived) {
  return transport_error(prefix_of(phase::reading), EMSGSIZE, {}, arrived);
}

void initialize_curl() {
  // A function-local static: initialised once, safely, by the first caller.
  static const CURLcode initialized = curl_global_init(CURL_GLOBAL_DEFAULT);
  if (initialized != CURLE_OK) {
    fail(open_failed, initialized);
  }
}

struct easy_deleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using easy_handle = std::unique_ptr<CURL, easy_deleter>;

struct list_deleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using header_list = std::unique_ptr<curl_slist, list_deleter>;

template <class Value>
void set_option(CURL* handle, CURLoption option, Value value, const char* prefix) {
  const CURLcode code = curl_easy_setopt(handle, option, value);
  if (code != CURLE_OK) {
    fail(prefix, code);
  }
}

easy_handle open_handle() {
  easy_handle handle(curl_easy_init());
  if (!handle) {
    throw windows_system_error(request_failed, ENOMEM);
  }
  return handle;
}

void append(header_list& list, const std::string& line) {
  curl_slist* head = curl_slist_append(list.get(), line.c_str());
  if (head == nullptr) {
    throw windows_system_error(header_failed, ENOMEM);
  }
  static_cast<void>(list.release());
  list.reset(head);
}

// The caller's headers in name order. Of names that differ only in case the
// first is sent; "Content-Length" always comes from the body actually sent, so
// a wrong one cannot break the framing. libcurl's own Accept, Content-Type and
// Expect (a 100-continue wait) are not sent unless the caller gives them.
header_list make_header_list(const string_map& headers) {
  header_list list;
  std::vector<std::string> sent;
  const auto is_sent = [&](std::string_view name) {
    return std::any_of(sent.begin(), sent.end(),
                       [&](const std::string& other) { return boost::iequals(other, name); });
  };
  std::size_t index = 0;
  for (const auto& [name, value] : headers) {
    std::string line = header_line(headers, index++);
    if (boost::iequals(name, "Content-Length") || is_sent(name)) {
      continue;
    }
    // libcurl drops a "Name:" line; "Name;" sends the header with no value.
    line = value.empty() ? name + ";" : line.substr(0, line.size() - 2);
    append(list, line);
    sent.push_back(name);
  }
  for (const char* name : {"Accept", "Content-Type", "Expect"}) {
    if (!is_sent(name)) {
      append(list, std::string(name) + ":");
    }
  }
  return list;
}

bool is_redirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::string first_url(const basic_request& request) {
  // As WinHTTP does, every scheme but https is spoken as plain HTTP.
  const std::string scheme = request.scheme == "https" ? "https" : "http";
  const auto port = boost::lexical_cast<std::uint16_t>(request.port);
  return scheme + "://" + request.host + ":" + std::to_string(port) + request.path;
}

// A deadline `wait` after `from`, or the clock's end when that lies beyond it.
std::chrono::steady_clock::time_point deadline(std::chrono::steady_clock::time_point from,
                                               std::chrono::milliseconds wait) {
  using clock = std::chrono::steady_clock;
  const auto room = std::chrono::floor<std::chrono::milliseconds>(clock::time_point::max() - from);
  return wait >= room ? clock::time_point::max() : from + wait;
}

// The state of one call that libcurl's callbacks share. No exception may
// unwind through libcurl: a callback keeps it and stops the transfer.
struct transfer {
  transfer(const std::atomic<bool>& abort_flag, const progress_callback& upload,
           const proxy_callback& holding, const progress_callback& download, std::uint64_t limit,
           const body_sink& streamed, const timeouts& limits)
      : abort(abort_flag),
        upload_progress(upload),
        proxy_holding(holding),
        download_progress(download),
        body_limit(limit),
        sink(streamed),
        wire(limits.slowest_proxy_uplink) {}

  // Starts one request of the call; body is null when it sends none.
  void start(int code, body_source* request_body) {
    answer_due.reset();
    head_only = code == method::head;
    body = request_body;
    current = phase::sending;
    sent = 0;
    raw.clear();
    in_head = false;
    final_head = false;
    redirect = false;
    response = basic_response();
    announced = 0;
    received = 0;
    raw_received = 0;
    wire.start(body != nullptr);
    reported = 0;
    canceled_in_report = false;
    stopped = false;
  }

  // A failed or stopping callback ends the request here; libcurl closes
  // its connection before the call sees the end.
  template <class Result, class Work>
  Result guarded(Result failed, Work&& work) noexcept {
    if (!error && !abort_seen) {
      try {
        return work();
      } catch (...) {
        error = std::current_exception();
      }
    }
    stop_here();
    return failed;
  }

  // The call ends the request itself (see request_wire::end_here); once.
  void stop_here() {
    if (!stopped) {
      stopped = true;
      wire.end_here(written_so_far());
    }
  }

  std::uint64_t written_so_far() const {
    curl_off_t count = 0;
    curl_easy_getinfo(handle, CURLINFO_SIZE_UPLOAD_T, &count);
    return static_cast<std::uint64_t>(std::max<curl_off_t>(count, 0));
  }

  // Fills libcurl's buffer in one read of the body, then hands it over piece
  // by piece with the abort test after each, as if each went out on its own.
  // Piece boundaries are counted from the body's start.
  std::size_t read_pieces(char* buffer, std::size_t room) {
    const std::size_t count = body->read(buffer, room);
    std::size_t handed = 0;
    while (handed < count) {
      const auto piece = static_cast<std::size_t>(
          std::min<std::uint64_t>(count - handed, piece_size - sent % piece_size));
      handed += piece;
      sent += piece;
      current = phase::writing;
      // The pieces handed so far are still written; the next callback ends
      // the call.
      if (abort) {
        abort_seen = true;
        break;
      }
    }
    return handed;
  }

  // Between two turns of the transfer: written, the body bytes libcurl has
  // written to the connection. Progress reports each piece boundary once the
  // bytes up to it have left, so the caller's bar and time remaining follow
  // the wire rather than the kernel's buffer.
  void follow_wire(std::uint64_t written) {
    const bool request_out = current != phase::sending && current != phase::writing;
    wire.follow(written, request_out, raw_received + received);
    if (proxy_holding && proxy_may_forward()) {
      proxy_holding();
    }
    report_left();
  }

  // The request is over (see request_wire::end, and end_here once stopped).
  void follow_end(std::uint64_t written) {
    if (!stopped) {
      wire.end(written);
    }
    report_left();
  }

  void report_left() {
    if (body == nullptr) {
      return;
    }
    const std::uint64_t size = body->size();
    const std::uint64_t left = wire.left();
    // A cancel from a report ends the reports with the call; the bytes that
    // had left before a cancel from elsewhere are still reported.
    while (upload_progress && !canceled_in_report && reported < left) {
      const std::uint64_t next = std::min(reported + piece_size - reported % piece_size, size);
      if (next > left) {
        break;
      }
      reported = next;
      upload_progress(reported, size);
      canceled_in_report = abort;
    }
  }

  void header(std::string_view line) {
    raw_received += line.size();
    if (!in_head) {
      if (final_head && line.substr(0, 5) != "HTTP/") {
        return;  // trailers of a chunked body
      }
      raw.clear();
      in_head = true;
    }
    raw.append(line);
    if (line == "\r\n" || line == "\n") {
      in_head = false;
      end_of_head();
    }
  }

  void end_of_head() {
    basic_response head;
    parse_raw_headers(raw, head);
    if (head.status >= 100 && head.status < 200) {
      return;  // an interim response: the final one follows
    }
    response = std::move(head);
    final_head = true;
    current = phase::reading;
    const auto length = find_header(response.headers, "Content-Length");
    announced = length ? boost::lexical_cast<std::uint64_t>(*length) : 0;
    if (!head_only && !streams_body() && announced > body_limit) {
      throw body_too_large(response);
    }
    redirect = is_redirect(response.status) && find_header(response.headers, "Location");
  }

  // Only a successful answer's body is the download: a redirect's or an
  // error page's is not, so no bar fills with it and no sink takes it.
  bool successful() const { return response.status >= 200 && response.status < 300; }
  bool streams_body() const { return sink && successful(); }

  std::size_t body_piece(const char* data, std::size_t length) {
    if (streams_body()) {
      sink(std::string_view(data, length));
    } else if (length > body_limit - response.body.size()) {
      throw body_too_large(response);
    } else {
      response.body.append(data, length);
    }
    received += length;
    if (successful() && download_progress) {
      download_progress(received, announced);
    }
    if (abort) {
      abort_seen = true;
      return 0;
    }
    return length;
  }

  // Starts the answer's clock once the peer has taken the request's last
  // byte (until then the stall floor governs, as it does while bytes leave);
  // whether the answer has outlasted its deadline since.
  bool answer_overdue() {
    if (!answer_limit || !wire.drained()) {
      return false;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!answer_due) {
      answer_wait = awaits_proxy() ? proxied_answer_wait(now) : *answer_limit;
      answer_due = deadline(now, answer_wait);
    }
    return now >= *answer_due;
  }

  // The peer is a proxy that has taken a request body: the server may not
  // have all of it yet, and nothing here can tell when it has.
  bool awaits_proxy() const { return wire.tunneled() && body != nullptr; }

  // At least as long as browsers wait for an answer; longer while the proxy
  // may still be forwarding the body at its slowest uplink's pace.
  std::chrono::milliseconds proxied_answer_wait(std::chrono::steady_clock::time_point now) const {
    return std::max(proxied_answer, *answer_limit + wire.proxy_forwarding(now));
  }

  // Until the answer's first byte, a proxy's silence may be its uplink still
  // forwarding the body.
  bool proxy_may_forward() const { return awaits_proxy() && raw_received == 0; }

  // The answer's deadline alone governs a proxy's silence once it has one.
  bool stall_floor_applies() const {
    return wire.is_connected() && !(proxy_may_forward() && answer_due);
  }

  // How long no byte may go out or come in: longer while a proxy may still
  // be forwarding what it took before the silence.
  std::chrono::milliseconds stall_wait() const {
    return proxy_may_forward() ? stall_limit + wire.proxy_forwarding(wire.last_motion())
                               : stall_limit;
  }

  std::chrono::steady_clock::time_point stall_due() const {
    return deadline(wire.last_motion(), stall_wait());
  }

  // Whether no byte has gone out or come in for the stall wait since the
  // connection was made. Connecting has a limit of its own.
  bool stalled() const {
    return stall_floor_applies() && std::chrono::steady_clock::now() >= stall_due();
  }

  // How long the call may sleep before its next turn: never past a deadline.
  int wait_ms() const {
    using std::chrono::milliseconds;
    const auto now = std::chrono::steady_clock::now();
    milliseconds wait(wire.is_connected() && !wire.drained() && body != nullptr ? draining_wait_ms
                                                                                : idle_wait_ms);
    if (stall_floor_applies()) {
      wait = std::min(wait, std::chrono::ceil<milliseconds>(stall_due() - now));
    }
    if (answer_due) {
      wait = std::min(wait, std::chrono::ceil<milliseconds>(*answer_due - now));
    }
    return static_cast<int>(std::max<milliseconds::rep>(wait.count(), 0));
  }

  const std::atomic<bool>& abort;
  const progress_callback& upload_progress;
  const proxy_callback& proxy_holding;
  const progress_callback& download_progress;
  const std::uint64_t body_limit;
  const body_sink& sink;
  bool head_only = false;
  body_source* body = nullptr;
  phase current = phase::sending;
  std::uint64_t sent = 0;
  std::string raw;
  bool in_head = false;
  bool final_head = false;
  bool redirect = false;
  basic_response response;
  std::uint64_t announced = 0;
  std::uint64_t received = 0;
  // Bytes of the answer's heads.
  std::uint64_t raw_received = 0;
  request_wire wire;
  std::chrono::milliseconds proxied_answer{0};
  CURL* handle = nullptr;
  // The most of the body reported so far.
  std::uint64_t reported = 0;
  bool canceled_in_report = false;
  // The call has ended the request itself.
  bool stopped = false;
  std::chrono::milliseconds stall_limit{0};
  bool abort_seen = false;
  // The call ended itself at the answer's deadline, or at the stall floor.
  bool answer_expired = false;
  bool stall_expired = false;
  std::chrono::milliseconds stall_waited{0};
  std::exception_ptr error;
  // The whole answer's deadline; none for a bulk transfer. The wait it gave
  // once the request was out, longer through a proxy.
  std::optional<std::chrono::milliseconds> answer_limit;
  std::chrono::milliseconds answer_wait{0};
  std::optional<std::chrono::steady_clock::time_point> answer_due;
};

transfer& state(void* data) {
  return *static_cast<transfer*>(data);
}

std::size_t on_read(char* buffer, std::size_t size, std::size_t count, void* data) {
  auto& t = state(data);
  return t.guarded(std::size_t{CURL_READFUNC_ABORT},
                   [&] { return t.read_pieces(buffer, size * count); });
}

int on_seek(void* data, curl_off_t offset, int origin) {
  auto& t = state(data);
  if (offset != 0 || origin != SEEK_SET) {
    return CURL_SEEKFUNC_CANTSEEK;
  }
  return t.guarded(int{CURL_SEEKFUNC_FAIL}, [&] {
    t.body->rewind();
    t.sent = 0;
    return int{CURL_SEEKFUNC_OK};
  });
}

std::size_t on_header(char* buffer, std::size_t size, std::size_t count, void* data) {
  auto& t = state(data);
  const std::size_t length = size * count;
  return t.guarded(std::size_t{0}, [&] {
    t.header(std::string_view(buffer, length));
    return length;
  });
}

std::size_t on_write(char* buffer, std::size_t size, std::size_t count, void* data) {
  auto& t = state(data);
  return t.guarded(std::size_t{0}, [&] { return t.body_piece(buffer, size * count); });
}

// Called after each turn of the transfer, also while it connects or waits.
int on_progress(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
  auto& t = state(data);
  if (t.current == phase::writing && static_cast<std::uint64_t>(uploaded) >= t.body->size()) {
    t.current = phase::receiving;
  }
  t.guarded(0, [&] {
    t.follow_wire(static_cast<std::uint64_t>(uploaded));
    return 0;
  });
  if (t.abort) {
    t.abort_seen = true;
  }
  if (t.error || t.abort_seen) {
    t.stop_here();
    return 1;
  }
  return 0;
}

int on_socket_opened(void* data, curl_socket_t socket, curlsocktype) {
  state(data).wire.socket_opened(socket);
  return CURL_SOCKOPT_OK;
}

// Called once connected (TLS included), right before the request goes out.
int on_connected(void* data, char* peer_ip, char*, int peer_port, int local_port) {
  auto& t = state(data);
  long tunnel_status = 0;
  curl_easy_getinfo(t.handle, CURLINFO_HTTP_CONNECTCODE, &tunnel_status);
  t.wire.connected(local_port, peer_port, tunnel_status != 0, peer_ip);
  t.current = t.body != nullptr && t.body->size() > 0 ? phase::writing : phase::receiving;
  return CURL_PREREQFUNC_OK;
}

// error_text: CURL_ERROR_SIZE bytes that outlive the handle's transfers.
void configure(CURL* handle, transfer& t, curl_slist* headers, const timeouts& limits,
               char* error_text) {
  set_option(handle, CURLOPT_NOSIGNAL, 1L, request_failed);
  // A failure's own words, such as a proxy's refusal of the tunnel, which
  // its code alone does not tell.
  set_option(handle, CURLOPT_ERRORBUFFER, error_text, request_failed);
  set_option(handle, CURLOPT_PROTOCOLS_STR, "http,https", request_failed);
  set_option(handle, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_1}, request_failed);
  set_option(handle, CURLOPT_USERAGENT, "core::net::winhttp", request_failed);
  set_option(handle, CURLOPT_PATH_AS_IS, 1L, request_failed);
  // A cancel during name resolution leaves the resolver thread to finish on
  // its own (and free what it holds) instead of waiting for it.
  set_option(handle, CURLOPT_QUICK_EXIT, 1L, request_failed);
  set_option(handle, CURLOPT_HTTPHEADER, headers, header_failed);
  // A proxy's answer to the tunnel is not the server's: a refused tunnel
  // fails the sending, before any of the request went out.
  set_option(handle, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L, request_failed);

  // Peer and host name are always checked; there is no switch to turn it off.
  set_option(handle, CURLOPT_SSL_VERIFYPEER, 1L, certificate_failed);
  set_option(handle, CURLOPT_SSL_VERIFYHOST, 2L, certificate_failed);
  if (const char* bundle = std::getenv("SSL_CERT_FILE"); bundle != nullptr && *bundle != '\0') {
    set_option(handle, CURLOPT_CAINFO, bundle, certificate_failed);
  }

  // The stall floor is the call's own: libcurl's counts bytes handed to the
  // kernel, which a slow link takes minutes to send.
  set_option(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()),
             request_failed);

  set_option(handle, CURLOPT_UPLOAD_BUFFERSIZE, static_cast<long>(upload_buffer_size),
             request_failed);
  set_option(handle, CURLOPT_READFUNCTION, &on_read, request_failed);
  set_option(handle, CURLOPT_READDATA, &t, request_failed);
  set_option(handle, CURLOPT_SEEKFUNCTION, &on_seek, request_failed);
  set_option(handle, CURLOPT_SEEKDATA, &t, request_failed);
  set_option(handle, CURLOPT_HEADERFUNCTION, &on_header, request_failed);
  set_option(handle, CURLOPT_HEADERDATA, &t, request_failed);
  set_option(handle, CURLOPT_WRITEFUNCTION, &on_write, request_failed);
  set_option(handle, CURLOPT_WRITEDATA, &t, request_failed);
  set_option(handle, CURLOPT_XFERINFOFUNCTION, &on_progress, request_failed);
  set_option(handle, CURLOPT_XFERINFODATA, &t, request_failed);
  set_option(handle, CURLOPT_NOPROGRESS, 0L, request_failed);
  set_option(handle, CURLOPT_SOCKOPTFUNCTION, &on_socket_opened, request_failed);
  set_option(handle, CURLOPT_SOCKOPTDATA, &t, request_failed);
  set_option(handle, CURLOPT_PREREQFUNCTION, &on_connected, request_failed);
  set_option(handle, CURLOPT_PREREQDATA, &t, request_failed);
}

// A body goes with POST and PUT (empty ones announce "Content-Length: 0")
// and with any other method given one.
void set_method(CURL* handle, int code, const body_source* body) {
  // Resets whatever an earlier request of this call used.
  set_option(handle, CURLOPT_HTTPGET, 1L, request_failed);
  set_option(handle, CURLOPT_CUSTOMREQUEST, static_cast<const char*>(nullptr), request_failed);
  const auto size = static_cast<curl_off_t>(body != nullptr ? body->size() : 0);
  if (code == method::post) {
    set_option(handle, CURLOPT_POST, 1L, request_failed);
    set_option(handle, CURLOPT_POSTFIELDSIZE_LARGE, size, request_failed);
    return;
  }
  if (body != nullptr) {
    set_option(handle, CURLOPT_UPLOAD, 1L, request_failed);
    set_option(handle, CURLOPT_INFILESIZE_LARGE, size, request_failed);
    if (code != method::put) {
      set_option(handle, CURLOPT_CUSTOMREQUEST, verb(code), request_failed);
    }
  } else if (code == method::head) {
    set_option(handle, CURLOPT_NOBODY, 1L, request_failed);
  } else if (code != method::get) {
    set_option(handle, CURLOPT_CUSTOMREQUEST, verb(code), request_failed);
  }
}

// Where a redirect leads, when it is followed: never from https to http,
// never to another scheme.
std::optional<std::string> redirect_target(CURL* handle, const std::string& from) {
  char* location = nullptr;
  if (curl_easy_getinfo(handle, CURLINFO_REDIRECT_URL, &location) != CURLE_OK ||
      location == nullptr) {
    return std::nullopt;
  }
  const std::string to(location);
  const bool secure = to.rfind("https://", 0) == 0;
  const bool plain_from_plain = to.rfind("http://", 0) == 0 && from.rfind("http://", 0) == 0;
  if (!secure && !plain_from_plain) {
    return std::nullopt;
  }
  return to;
}

// The easy handle's membership of the exchange's multi handle, for one request.
class attachment {
 public:
  attachment(CURLM* multi, CURL* easy) : multi_(multi), easy_(easy) {
    check(request_failed, curl_multi_add_handle(multi_, easy_));
  }
  ~attachment() { curl_multi_remove_handle(multi_, easy_); }
  attachment(const attachment&) = delete;
  attachment& operator=(const attachment&) = delete;

 private:
  CURLM* multi_;
  CURL* easy_;
};

// Runs one request to its end and returns its result. Between two turns the
// call sleeps until the connection or one of libcurl's timers needs it, a
// deadline or the next look at the socket comes, or a cancel wakes it: a
// cancel then ends the request at once, while it is still connecting or
// waiting for an answer too. The pieces left to report once the request has
// ended are reported here, a report's exception passing to the caller.
CURLcode perform(CURLM* multi, CURL* easy, transfer& t) {
  const attachment attached(multi, easy);
  for (;;) {
    int running = 0;
    check(prefix_of(t.current), curl_multi_perform(multi, &running));
    if (running == 0) {
      break;
    }
    if (t.abort) {
      t.abort_seen = true;
      t.stop_here();
      t.follow_end(t.written_so_far());
      return CURLE_ABORTED_BY_CALLBACK;
    }
    if (t.answer_overdue()) {
      t.answer_expired = true;
      t.stop_here();
      return CURLE_OPERATION_TIMEDOUT;
    }
    if (t.stalled()) {
      t.stall_expired = true;
      // As it was: ending the request moves the wire's count on.
      t.stall_waited = t.stall_wait();
      t.stop_here();
      return CURLE_OPERATION_TIMEDOUT;
    }
    check(prefix_of(t.current), curl_multi_poll(multi, nullptr, 0, t.wait_ms(), nullptr));
  }
  int queued = 0;
  while (const CURLMsg* message = curl_multi_info_read(multi, &queued)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
      if (message->data.result == CURLE_OK && !t.error && !t.abort_seen) {
        t.follow_end(t.written_so_far());
        if (t.abort) {
          t.abort_seen = true;
          return CURLE_ABORTED_BY_CALLBACK;
        }
      } else if (t.abort_seen && !t.error) {
        t.follow_end(t.written_so_far());
      } else if (!t.stopped) {
        // Ended by the peer, a proxy's tunnel too: no progress is told.
        t.wire.end(t.written_so_far());
      }
      return message->data.result;
    }
  }
  // libcurl reports every transfer it ends; this would be a fault of its own.
  return CURLE_GOT_NOTHING;
}

}  // namespace

exchange::exchange(progress_callback upload_progress, proxy_callback proxy_holding,
                   progress_callback download_progress, std::uint64_t body_limit, body_sink sink)
    : upload_progress_(std::move(upload_progress)),
      proxy_holding_(std::move(proxy_holding)),
      download_progress_(std::move(download_progress)),
      body_limit_(body_limit),
      sink_(std::move(sink)) {
  initialize_curl();
  multi_.reset(curl_multi_init());
  if (!multi_) {
    throw windows_system_error(open_failed, ENOMEM);
  }
}

void exchange::abort() noexcept {
  abort_ = true;
  curl_multi_wakeup(multi_.get());
}

basic_response exchange::run(const basic_request& request, body_source& body) {
  // libcurl empties it as each transfer starts; it outlives the handle.
  std::array<char, CURL_ERROR_SIZE> error_text{};
  const easy_handle handle = open_handle();
  std::string url = first_url(request);
  const header_list headers = make_header_list(request.headers);
  const timeouts limits = default_timeouts();
  transfer t(abort_, upload_progress_, proxy_holding_, download_progress_, body_limit_, sink_,
             limits);
  if (request.wait == answer_wait::deadline) {
    t.answer_limit = limits.answer;
  }
  t.stall_limit = limits.stall;
  t.proxied_answer = limits.proxied_answer;
  t.handle = handle.get();
  configure(handle.get(), t, headers.get(), limits, error_text.data());

  int code = request.method;
  body_source* request_body = &body;
  int bodies_sent = 0;
  for (int redirects = 0;; ++redirects) {
    const bool sends_body =
        request_body != nullptr && (code == method::post || code == method::put || body.size() > 0);
    if (sends_body) {
      request_body->rewind();
      ++bodies_sent;
    }
    t.start(code, sends_body ? request_body : nullptr);
    set_option(handle.get(), CURLOPT_URL, url.c_str(), connect_failed);
    set_method(handle.get(), code, t.body);

    const CURLcode result = perform(multi_.get(), handle.get(), t);
    if (t.error) {
      std::rethrow_exception(t.error);
    }
    if (t.abort_seen) {
      throw call_canceled(t.final_head ? std::move(t.response) : basic_response());
    }
    if (result != CURLE_OK) {
      std::string detail = curl_detail(error_text.data(), result);
      if (t.answer_expired) {
        detail =
            "no whole answer within " + std::to_string(t.answer_wait.count()) +
            (t.awaits_proxy() ? " ms of the proxy's taking the request" : " ms of the request");
      } else if (t.stall_expired) {
        detail =
            "no byte went out or came in for " + std::to_string(t.stall_waited.count()) + " ms";
      }
      // Bytes still in the socket are a write that has not ended.
      const bool unsent_body =
          t.body != nullptr && !t.wire.drained() && t.current == phase::receiving;
      fail(prefix_of(unsent_body ? phase::writing : t.current), result, detail,
           t.final_head ? std::move(t.response) : basic_response());
    }

    const auto next = t.redirect && redirects < redirect_limit ? redirect_target(handle.get(), url)
                                                               : std::nullopt;
    if (!next) {
      return std::move(t.response);
    }
    // As browsers and WinHTTP do: 303 turns every method into GET, 301 and
    // 302 turn POST into GET; 307 and 308 send the same request again.
    const int status = t.response.status;
    const bool to_get =
        code != method::get && ((status == 303 && code != method::head) ||
                                ((status == 301 || status == 302) && code == method::post));
    if (to_get ? !request.redirect_may_change_method
               : t.body != nullptr && bodies_sent == body_send_limit) {
      return std::move(t.response);
    }
    url = *next;
    if (to_get) {
      code = method::get;
      request_body = nullptr;
    }
  }
}

}  // namespace core::net::http
