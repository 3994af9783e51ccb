#include "tools/service/session.hpp"

#include <algorithm>
#include <boost/algorithm/string/predicate.hpp>
#include <boost/asio/redirect_error.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/this_coro.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <limits>
#include <string_view>
#include <vector>

namespace service {

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using asio::use_awaitable;

// The most of a body read in one step; bounds memory when bodies are
// discarded.
constexpr std::size_t chunk_size = 65536;
// The receive buffer behind a slow reader; the kernel doubles it.
constexpr int slow_receive_buffer = 128 * 1024;

asio::awaitable<void> pause(std::chrono::milliseconds duration) {
  if (duration.count() <= 0) {
    co_return;
  }
  asio::steady_timer timer(co_await asio::this_coro::executor, duration);
  co_await timer.async_wait(use_awaitable);
}

std::string head_text(const reply& answer) {
  std::string text = "HTTP/1.1 " + std::to_string(answer.status) + " ";
  text += answer.reason.empty()
              ? std::string(http::obsolete_reason(static_cast<http::status>(answer.status)))
              : answer.reason;
  text += "\r\n";
  bool has_length = false;
  for (const auto& [name, value] : answer.headers) {
    text += name + ": " + value + "\r\n";
    has_length = has_length || boost::iequals(name, "Content-Length");
  }
  if (!has_length) {
    text += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
  }
  text += "\r\n";
  return text;
}

reply answer_for(const route& handling, const received_request& request) {
  if (!handling.respond) {
    reply missing;
    missing.status = 404;
    return missing;
  }
  try {
    return handling.respond(request);
  } catch (const std::exception& e) {
    reply failed;
    failed.status = 500;
    failed.body = e.what();
    return failed;
  }
}

template <class Stream>
class connection {
 public:
  connection(Stream& stream, session_host& host) : stream_(stream), host_(host) {}

  asio::awaitable<void> run() {
    for (;;) {
      http::request_parser<http::buffer_body> parser;
      // Archives reach 4 GiB. Not boost::none: Beast 1.74 compares a known
      // length against the empty limit and refuses every body.
      parser.body_limit(std::numeric_limits<std::uint64_t>::max());
      arm();
      co_await http::async_read_header(stream_, buffer_, parser, use_awaitable);

      received_request request;
      const auto& head = parser.get();
      request.method = std::string(head.method_string());
      request.target = std::string(head.target());
      for (const auto& field : head) {
        request.headers.emplace_back(std::string(field.name_string()), std::string(field.value()));
      }
      route handling;
      handling.body = body_mode::discard;  // unknown routes keep nothing
      if (auto found = host_.find_route(request)) {
        handling = std::move(*found);
      }

      disarm();
      co_await pause(handling.stall_request);
      if (boost::iequals(request.header("Expect"), "100-continue")) {
        co_await send("HTTP/1.1 100 Continue\r\n\r\n");
      }
      request.complete = co_await read_body(parser, request, handling);
      if (!request.complete) {
        host_.record(std::move(request));
        co_return;
      }
      const reply answer = answer_for(handling, request);
      const bool head_only = request.method == "HEAD";
      host_.record(std::move(request));
      if (!co_await answer_with(answer, head_only) || !parser.keep_alive()) {
        co_return;
      }
    }
  }

 private:
  // Whether the whole body arrived.
  asio::awaitable<bool> read_body(http::request_parser<http::buffer_body>& parser,
                                  received_request& request, const route& handling) {
    std::vector<char> chunk(handling.read_piece > 0 ? handling.read_piece : chunk_size);
    if (handling.read_piece > 0) {
      // What waits for a slow reader waits in the sender's socket, as on a
      // slow link, not in a receive buffer grown large. A few of loopback's
      // 64 KiB segments, or the sender would wait for its persist timer.
      beast::get_lowest_layer(stream_).socket().set_option(
          asio::socket_base::receive_buffer_size(slow_receive_buffer));
    }
    while (!parser.is_done()) {
      if (request.body_size > 0) {
        disarm();
        co_await pause(handling.read_pause);
      }
      auto& body = parser.get().body();
      body.data = chunk.data();
      body.size = chunk.size();
      beast::error_code error;
      arm();
      co_await http::async_read(stream_, buffer_, parser,
                                asio::redirect_error(use_awaitable, error));
      // Bytes that arrived before a failure count too.
      const std::size_t count = chunk.size() - body.size;
      if (handling.body == body_mode::keep) {
        request.body.append(chunk.data(), count);
      } else if (handling.body == body_mode::sink && handling.sink) {
        handling.sink->write(std::string_view(chunk.data(), count));
      }
      request.body_size += count;
      if ((error && error != http::error::need_buffer) ||
          (handling.cut_request_after && request.body_size >= *handling.cut_request_after)) {
        co_return false;
      }
    }
    co_return true;
  }

  // Whether the connection may serve another request.
  asio::awaitable<bool> answer_with(const reply& answer, bool head_only) {
    disarm();
    co_await pause(answer.delay);
    if (answer.raw) {
      co_await send(*answer.raw);
      co_return false;
    }
    co_await send(head_text(answer));
    if (head_only) {
      co_return true;
    }
    const std::string_view body(answer.body);
    const std::size_t length = std::min(answer.cut_after.value_or(body.size()), body.size());
    const std::size_t piece = answer.trickle_piece > 0 ? answer.trickle_piece : length;
    for (std::size_t offset = 0; offset < length; offset += piece) {
      if (offset > 0) {
        disarm();
        co_await pause(answer.trickle_pause);
      }
      co_await send(body.substr(offset, std::min(piece, length - offset)));
    }
    if (answer.cut_after && answer.close_notify) {
      co_await shut_down(stream_);
    }
    co_return !answer.cut_after;
  }

  static asio::awaitable<void> shut_down(beast::tcp_stream&) { co_return; }

  // Sends the close_notify, then waits for the peer's, or for it to close.
  static asio::awaitable<void> shut_down(beast::ssl_stream<beast::tcp_stream>& stream) {
    beast::error_code ignored;
    co_await stream.async_shutdown(asio::redirect_error(use_awaitable, ignored));
  }

  asio::awaitable<void> send(std::string_view text) {
    arm();
    co_await asio::async_write(stream_, asio::buffer(text.data(), text.size()), use_awaitable);
  }

  // Reads and writes time out after the idle time; scripted pauses do not.
  void arm() { beast::get_lowest_layer(stream_).expires_after(host_.idle_timeout()); }
  void disarm() { beast::get_lowest_layer(stream_).expires_never(); }

  Stream& stream_;
  session_host& host_;
  beast::flat_buffer buffer_;
};

}  // namespace

asio::awaitable<void> serve_connection(asio::ip::tcp::socket socket, asio::ssl::context* tls,
                                       session_host& host) {
  try {
    if (tls != nullptr) {
      beast::ssl_stream<beast::tcp_stream> stream(beast::tcp_stream(std::move(socket)), *tls);
      beast::get_lowest_layer(stream).expires_after(host.idle_timeout());
      co_await stream.async_handshake(asio::ssl::stream_base::server, use_awaitable);
      connection<beast::ssl_stream<beast::tcp_stream>> served(stream, host);
      co_await served.run();
    } else {
      beast::tcp_stream stream(std::move(socket));
      connection<beast::tcp_stream> served(stream, host);
      co_await served.run();
    }
  } catch (const std::exception&) {
    // The peer left, a time-out struck or a fault ended the connection:
    // closing it is all there is to do.
  }
}

}  // namespace service
