#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/service/fault.hpp"
#include "tools/service/kept_records.hpp"
#include "tools/service/received_request.hpp"
#include "tools/service/server.hpp"

namespace service {

// The stand-in of the maker's web service on 127.0.0.1: the whole exchange
// of a send under its base <scheme>://127.0.0.1:<port>/desktopserver, every
// entry checked before it is taken, every upload kept under the data folder;
// and the update feed with the files beside it served from a folder under
// /content/. Faults are scripted per step. Listens from construction and
// serves on a thread of its own until stop() or destruction.
//
// Every request expecting success is answered 200. Refusals: 400 for a body
// that is not a well-formed entry of the right kind (or a package naming no
// uploaded archive), 403 for an upload without a valid ticket, 404 for an
// unknown media entry, thumbnail or file, 405 for a wrong method, 409 for a
// second package of one media entry, 415 for a wrong Content-Type; the body
// of a refusal is its reason in plain text.
class web_service {
 public:
  struct options {
    // Certificate, key and port, as for the plain server.
    server::options http;
    // Where uploads and entries are kept; created when missing.
    std::filesystem::path data_folder;
    // Whose files are served under /content/; empty: none.
    std::filesystem::path feed_folder;
    // Given each completed package's line (see package_line.hpp) and each
    // refusal's line ("refused <method> <target>: <status> <reason>"), on the
    // serving thread.
    std::function<void(const std::string&)> on_package;
    std::function<void(const std::string&)> on_refusal;
  };

  // Throws std::runtime_error when the data folder cannot be made, or the
  // certificate or the port cannot be used.
  explicit web_service(options settings);
  ~web_service();
  web_service(const web_service&) = delete;
  web_service& operator=(const web_service&) = delete;

  unsigned short port() const;
  // "https://127.0.0.1:<port>/desktopserver" (http without a certificate).
  std::string base_url() const;
  // "https://127.0.0.1:<port>/content/parvel.feed.xml".
  std::string feed_url() const;

  // Replaces the step's fault and restarts its count. Any thread.
  void set_fault(step kind, const fault& scripted);
  void clear_faults();

  // Every request received, in order; uploads are counted (body_size) and
  // kept in files, not in the record.
  std::vector<received_request> requests() const;
  // Those of one step.
  std::vector<received_request> requests(step kind) const;
  // Whether count requests have been received, and answered when whole,
  // within limit.
  bool wait_for_requests(std::size_t count, std::chrono::milliseconds limit) const;

  // Media entries in the order they were made, with their uploads.
  std::vector<kept_media> media() const;
  // Completed packages in order.
  std::vector<kept_package> packages() const;

  // Closes every connection; from the owning thread.
  void stop();

 private:
  class impl;
  std::unique_ptr<impl> impl_;
};

}  // namespace service
