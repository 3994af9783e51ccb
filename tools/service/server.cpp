#include "tools/service/server.hpp"

#include "tools/service/session.hpp"

#include <openssl/ssl.h>

#include <boost/asio/co_spawn.hpp>
#include <boost/asio/detached.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/redirect_error.hpp>
#include <boost/asio/ssl/context.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

namespace service {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

class server::impl final : public session_host {
 public:
  explicit impl(const options& settings) : settings_(settings) {
    if (!settings.certificate_file.empty() || !settings.private_key_file.empty()) {
      load_certificate();
    }
    auto& acceptor = running_->acceptor;
    try {
      const tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"), settings.port);
      acceptor.open(endpoint.protocol());
      acceptor.set_option(tcp::acceptor::reuse_address(true));
      acceptor.bind(endpoint);
      acceptor.listen();
      port_ = acceptor.local_endpoint().port();
    } catch (const boost::system::system_error& e) {
      throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(settings.port) +
                               ": " + e.what());
    }
    asio::co_spawn(running_->io, accept_loop(), asio::detached);
    running_->thread = std::thread([this] { running_->io.run(); });
  }

  ~impl() { stop(); }

  // Destroying the io_context destroys every suspended connection with its
  // socket and timers.
  void stop() {
    if (running_) {
      running_->io.stop();
      running_->thread.join();
      running_.reset();
    }
  }

  unsigned short port() const { return port_; }
  bool secure() const { return tls_.has_value(); }

  void add_route(route handling) {
    const std::lock_guard lock(mutex_);
    for (auto& existing : routes_) {
      if (existing.method == handling.method && existing.path == handling.path) {
        existing = std::move(handling);
        return;
      }
    }
    routes_.push_back(std::move(handling));
  }

  std::vector<received_request> requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
  }

  bool wait_for_requests(std::size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return requests_.size() >= count; });
  }

  void set_router(router routing) {
    const std::lock_guard lock(mutex_);
    router_ = std::move(routing);
  }

  std::optional<route> find_route(const received_request& head) const override {
    const std::string path = head.target.substr(0, head.target.find('?'));
    router routing;
    {
      const std::lock_guard lock(mutex_);
      for (const auto& candidate : routes_) {
        if ((candidate.method.empty() || candidate.method == head.method) &&
            candidate.path == path) {
          return candidate;
        }
      }
      routing = router_;
    }
    // Outside the lock: the router may take locks of its own.
    return routing ? routing(head) : std::nullopt;
  }

  void record(received_request request) override {
    {
      const std::lock_guard lock(mutex_);
      requests_.push_back(std::move(request));
    }
    changed_.notify_all();
  }

  std::chrono::milliseconds idle_timeout() const override { return settings_.idle_timeout; }

 private:
  void load_certificate() {
    // OpenSSL reports a file it cannot open only as a generic failure.
    for (const auto& file : {settings_.certificate_file, settings_.private_key_file}) {
      if (!std::ifstream(file)) {
        throw std::runtime_error("cannot read '" + file + "'");
      }
    }
    tls_.emplace(asio::ssl::context::tls_server);
    SSL_CTX_set_min_proto_version(tls_->native_handle(), TLS1_2_VERSION);
    try {
      tls_->use_certificate_chain_file(settings_.certificate_file);
      tls_->use_private_key_file(settings_.private_key_file, asio::ssl::context::pem);
    } catch (const boost::system::system_error& e) {
      throw std::runtime_error("cannot load the certificate '" + settings_.certificate_file +
                               "' and key '" + settings_.private_key_file + "': " + e.what());
    }
  }

  asio::awaitable<void> accept_loop() {
    for (;;) {
      boost::system::error_code error;
      tcp::socket socket = co_await running_->acceptor.async_accept(
          asio::redirect_error(asio::use_awaitable, error));
      if (error == asio::error::operation_aborted) {
        co_return;
      }
      if (!error) {
        asio::co_spawn(running_->io,
                       serve_connection(std::move(socket), tls_ ? &*tls_ : nullptr, *this),
                       asio::detached);
      }
    }
  }

  // The serving thread and what it runs; empty once stopped.
  struct engine {
    asio::io_context io{1};
    tcp::acceptor acceptor{io};
    std::thread thread;
  };

  options settings_;
  // Outlives the engine: connections destroyed with it refer to it.
  std::optional<asio::ssl::context> tls_;
  std::unique_ptr<engine> running_ = std::make_unique<engine>();
  unsigned short port_ = 0;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<route> routes_;
  router router_;
  std::vector<received_request> requests_;
};

server::server(const options& settings) : impl_(std::make_unique<impl>(settings)) {}

server::server() : server(options{}) {}

server::~server() = default;

unsigned short server::port() const {
  return impl_->port();
}

std::string server::base_url() const {
  return std::string(impl_->secure() ? "https" : "http") +
         "://127.0.0.1:" + std::to_string(impl_->port());
}

void server::add_route(route handling) {
  impl_->add_route(std::move(handling));
}

void server::add_route(const std::string& method, const std::string& path, const reply& answer) {
  route handling;
  handling.method = method;
  handling.path = path;
  handling.respond = [answer](const received_request&) { return answer; };
  add_route(std::move(handling));
}

void server::set_router(router routing) {
  impl_->set_router(std::move(routing));
}

std::vector<received_request> server::requests() const {
  return impl_->requests();
}

bool server::wait_for_requests(std::size_t count, std::chrono::milliseconds limit) const {
  return impl_->wait_for_requests(count, limit);
}

void server::stop() {
  impl_->stop();
}

}  // namespace service
