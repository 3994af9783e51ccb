#include "core/net/http/client.hpp"

#include <filesystem>
#include <optional>
#include <stdexcept>

#include "core/net/http/exchange.hpp"
#include "core/net/http/method.hpp"

namespace core::net::http {

namespace {

void set_body(basic_request& request, int code, const std::string& body,
              const std::string& content_type) {
  request.method = code;
  request.body = body;
  if (!content_type.empty()) {
    request.headers["Content-Type"] = content_type;
  }
  request.headers["Content-Length"] = std::to_string(body.size());
}

}  // namespace

basic_response basic_client::send(basic_request& request, std::uint64_t body_limit) {
  return run(request, nullptr, body_limit);
}

basic_response basic_client::get(basic_request& request, std::uint64_t body_limit) {
  request.method = method::get;
  return send(request, body_limit);
}

basic_response basic_client::get(basic_request& request, const body_sink& sink) {
  request.method = method::get;
  return run(request, nullptr, default_body_limit, sink);
}

basic_response basic_client::post(basic_request& request, const std::string& body,
                                  const std::string& content_type) {
  set_body(request, method::post, body, content_type);
  return send(request);
}

basic_response basic_client::post_octets(basic_request& request, const std::string& body) {
  return post(request, body, "application/octet-stream");
}

basic_response basic_client::put(basic_request& request, const std::string& body,
                                 const std::string& content_type) {
  set_body(request, method::put, body, content_type);
  return send(request);
}

void basic_client::set_upload_progress(progress_callback callback) {
  upload_progress_ = std::move(callback);
}

void basic_client::set_proxy_holding(proxy_callback callback) {
  proxy_holding_ = std::move(callback);
}

void basic_client::set_download_progress(progress_callback callback) {
  download_progress_ = std::move(callback);
}

void basic_client::cancel() noexcept {
  const std::lock_guard guard(lock_);
  if (active_ != nullptr) {
    active_->abort();
    active_ = nullptr;
  }
}

basic_response basic_client::run(const basic_request& request, const std::string* file_path,
                                 std::uint64_t body_limit, const body_sink& sink) {
  exchange call(upload_progress_, proxy_holding_, download_progress_, body_limit, sink);
  std::optional<file_body> file;
  std::optional<memory_body> memory;
  body_source& body = file_path != nullptr ? static_cast<body_source&>(file.emplace(*file_path))
                                           : memory.emplace(request.body);

  // Registered only while the call runs, so that a late cancel finds nothing.
  struct registration {
    registration(basic_client& owner, exchange& call) : owner_(owner), call_(call) {
      const std::lock_guard guard(owner_.lock_);
      owner_.active_ = &call_;
    }
    ~registration() {
      const std::lock_guard guard(owner_.lock_);
      if (owner_.active_ == &call_) {
        owner_.active_ = nullptr;
      }
    }
    basic_client& owner_;
    exchange& call_;
  } const registered(*this, call);

  return call.run(request, body);
}

basic_response basic_file_client::put(basic_file_request& request, const std::string& content_type,
                                      const std::string& file_path) {
  request.method = method::put;
  request.file_path = file_path;
  std::error_code ignored;
  const auto status = std::filesystem::status(file_path, ignored);
  if (!std::filesystem::exists(status)) {
    throw std::runtime_error("file: '" + file_path + "' not found.");
  }
  if (!std::filesystem::is_regular_file(status)) {
    throw std::runtime_error("not a regular file: " + file_path);
  }
  if (!content_type.empty()) {
    request.headers["Content-Type"] = content_type;
  }
  request.headers["Content-Length"] = std::to_string(std::filesystem::file_size(file_path));
  return run(request, &request.file_path, default_body_limit);
}

}  // namespace core::net::http
