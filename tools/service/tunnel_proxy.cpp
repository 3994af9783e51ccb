#include "tools/service/tunnel_proxy.hpp"

// Before asio's awaitable.hpp, which uses std::exchange without including it.
#include <utility>

#include <algorithm>
#include <atomic>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/connect.hpp>
#include <boost/asio/detached.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/this_coro.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <boost/asio/write.hpp>
#include <chrono>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace service {

namespace {

namespace asio = boost::asio;
using asio::use_awaitable;
using tcp = asio::ip::tcp;
using namespace std::chrono_literals;

// How often the forwarding moves its share of the rate.
constexpr auto tick = 20ms;
// The most read from the client in one step.
constexpr std::size_t read_size = 65536;
// The receive buffer in front of a proxy that holds little, so that what it
// does not take waits in the client's socket; the kernel doubles it.
constexpr int small_receive_buffer = 64 * 1024;

asio::awaitable<void> pause(std::chrono::milliseconds duration) {
  asio::steady_timer timer(co_await asio::this_coro::executor, duration);
  co_await timer.async_wait(use_awaitable);
}

// The proxy's one uplink, which its tunnels share: a piece goes out once the
// pieces before it have, whichever tunnels they came through.
class uplink {
 public:
  explicit uplink(std::uint64_t rate) : rate_(std::max<std::uint64_t>(rate, 1)) {}

  // When a piece of `bytes` queued now has gone out.
  std::chrono::steady_clock::time_point queue(std::uint64_t bytes) {
    free_at_ = std::max(free_at_, std::chrono::steady_clock::now()) +
               std::chrono::nanoseconds(bytes * 1000000000 / rate_);
    return free_at_;
  }

 private:
  std::uint64_t rate_;
  std::chrono::steady_clock::time_point free_at_;
};

// One tunnel, shared by its three directions of work.
struct tunnel {
  tunnel(tcp::socket from_client, tcp::socket to_server)
      : client(std::move(from_client)), server(std::move(to_server)) {}

  std::uint64_t held() const { return pending.size() - forwarded; }

  // The proxy's own end of the tunnel: what it holds is never forwarded.
  void drop(bool reset) {
    boost::system::error_code ignored;
    if (reset) {
      client.set_option(asio::socket_base::linger(true, 0), ignored);
    }
    pending.clear();
    forwarded = 0;
    close();
  }

  // Both ends go at once: a proxy does not keep half a tunnel.
  void close() {
    boost::system::error_code ignored;
    client.close(ignored);
    server.close(ignored);
  }

  tcp::socket client;
  tcp::socket server;
  // Taken from the client; the first `forwarded` bytes have gone on.
  std::string pending;
  std::size_t forwarded = 0;
  bool client_done = false;
};

// end_after: the proxy ends the tunnel once it has taken this many bytes.
asio::awaitable<void> take(std::shared_ptr<tunnel> t, std::optional<std::uint64_t> limit,
                           bool bursts, std::optional<std::uint64_t> end_after, bool reset) {
  std::string piece(read_size, '\0');
  bool waiting = false;
  std::uint64_t taken = 0;
  try {
    for (;;) {
      if (end_after && taken >= *end_after) {
        t->drop(reset);
        co_return;
      }
      const bool full = limit && t->held() >= *limit;
      waiting = bursts && waiting ? t->held() > 0 : full;
      if (waiting) {
        co_await pause(tick);
        continue;
      }
      const std::size_t room =
          limit ? std::min<std::uint64_t>(read_size, *limit - t->held()) : read_size;
      const std::size_t count =
          co_await t->client.async_read_some(asio::buffer(piece.data(), room), use_awaitable);
      t->pending.append(piece.data(), count);
      taken += count;
    }
  } catch (const std::exception&) {
    // The client has sent all it will: what is held still goes on.
    t->client_done = true;
  }
}

asio::awaitable<void> forward(std::shared_ptr<tunnel> t, uplink& shared, std::uint64_t rate) {
  const auto share = std::max<std::uint64_t>(rate * tick.count() / 1000, 1);
  try {
    for (;;) {
      if (!t->server.is_open()) {
        co_return;
      }
      if (t->held() == 0) {
        if (t->client_done) {
          t->server.shutdown(tcp::socket::shutdown_send);
          co_return;
        }
      } else {
        // A copy: taking more from the client may move `pending` while this
        // write waits.
        const std::string piece =
            t->pending.substr(t->forwarded, std::min<std::uint64_t>(share, t->held()));
        asio::steady_timer sent(co_await asio::this_coro::executor, shared.queue(piece.size()));
        co_await sent.async_wait(use_awaitable);
        co_await asio::async_write(t->server, asio::buffer(piece), use_awaitable);
        t->forwarded += piece.size();
        // What has gone on is dropped now and then, not with every piece.
        if (t->forwarded >= read_size && t->forwarded * 2 >= t->pending.size()) {
          t->pending.erase(0, t->forwarded);
          t->forwarded = 0;
        }
        continue;
      }
      co_await pause(tick);
    }
  } catch (const std::exception&) {
    t->close();
  }
}

asio::awaitable<void> answer(std::shared_ptr<tunnel> t) {
  std::string piece(read_size, '\0');
  try {
    for (;;) {
      const std::size_t count =
          co_await t->server.async_read_some(asio::buffer(piece), use_awaitable);
      co_await asio::async_write(t->client, asio::buffer(piece.data(), count), use_awaitable);
    }
  } catch (const std::exception&) {
    t->close();
  }
}

}  // namespace

class tunnel_proxy::impl {
 public:
  explicit impl(const options& settings) : settings_(settings) {
    try {
      const tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"), 0);
      acceptor_.open(endpoint.protocol());
      acceptor_.bind(endpoint);
      acceptor_.listen();
      port_ = acceptor_.local_endpoint().port();
    } catch (const boost::system::system_error& e) {
      throw std::runtime_error(std::string("cannot listen on 127.0.0.1: ") + e.what());
    }
    asio::co_spawn(io_, accept_loop(), asio::detached);
    thread_ = std::thread([this] { io_.run(); });
  }

  // Stopping the context ends every tunnel; destroying it frees them.
  ~impl() {
    io_.stop();
    thread_.join();
  }

  unsigned short port() const { return port_; }
  std::size_t tunnels() const { return tunnels_; }

 private:
  asio::awaitable<void> accept_loop() {
    for (;;) {
      tcp::socket socket = co_await acceptor_.async_accept(use_awaitable);
      asio::co_spawn(io_, open_tunnel(std::move(socket)), asio::detached);
    }
  }

  asio::awaitable<void> open_tunnel(tcp::socket client) {
    try {
      std::string head;
      const std::size_t head_size = co_await asio::async_read_until(
          client, asio::dynamic_buffer(head), "\r\n\r\n", use_awaitable);
      std::istringstream line(head.substr(0, head.find("\r\n")));
      std::string verb;
      std::string authority;
      line >> verb >> authority;
      const std::size_t colon = authority.rfind(':');
      if (verb != "CONNECT" || colon == std::string::npos) {
        constexpr std::string_view refusal =
            "HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        co_await asio::async_write(client, asio::buffer(refusal), use_awaitable);
        co_return;
      }
      tcp::resolver resolver(io_);
      const auto endpoints = co_await resolver.async_resolve(
          authority.substr(0, colon), authority.substr(colon + 1), use_awaitable);
      tcp::socket server(io_);
      co_await asio::async_connect(server, endpoints, use_awaitable);
      if (settings_.held) {
        client.set_option(asio::socket_base::receive_buffer_size(small_receive_buffer));
      }
      constexpr std::string_view established = "HTTP/1.1 200 Connection established\r\n\r\n";
      co_await asio::async_write(client, asio::buffer(established), use_awaitable);
      const bool first = tunnels_++ == 0;

      auto opened = std::make_shared<tunnel>(std::move(client), std::move(server));
      opened->pending = head.substr(head_size);
      asio::co_spawn(
          io_,
          take(opened, settings_.held, settings_.bursts,
               first ? settings_.end_first_after : std::nullopt, settings_.end_with_reset),
          asio::detached);
      asio::co_spawn(io_, forward(opened, uplink_, settings_.rate), asio::detached);
      asio::co_spawn(io_, answer(opened), asio::detached);
    } catch (const std::exception&) {
      // The client left or the server cannot be reached: the tunnel ends.
    }
  }

  options settings_;
  uplink uplink_{settings_.rate};
  asio::io_context io_{1};
  tcp::acceptor acceptor_{io_};
  std::thread thread_;
  unsigned short port_ = 0;
  std::atomic<std::size_t> tunnels_{0};
};

tunnel_proxy::tunnel_proxy(const options& settings) : impl_(std::make_unique<impl>(settings)) {}

tunnel_proxy::~tunnel_proxy() = default;

std::string tunnel_proxy::url() const {
  return "http://127.0.0.1:" + std::to_string(impl_->port());
}

std::size_t tunnel_proxy::tunnels() const {
  return impl_->tunnels();
}

}  // namespace service
