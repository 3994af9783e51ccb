#include "engine/jobs/photo_upload.hpp"

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "core/graphics/image_format.hpp"
#include "core/io/filesystem/input_file.hpp"
#include "core/log/logger.hpp"
#include "core/net/http/call_canceled.hpp"
#include "core/net/http/find_header.hpp"
#include "core/net/http/html_page.hpp"
#include "core/net/http/transport_error.hpp"
#include "core/system_error.hpp"
#include "engine/app/application.hpp"
#include "engine/app/service_addresses.hpp"
#include "engine/interop/entry_reading.hpp"
#include "engine/interop/media.hpp"
#include "engine/interop/package.hpp"
#include "engine/interop/thumbnail.hpp"
#include "engine/interop/ticket.hpp"
#include "engine/jobs/thumbnail.hpp"
#include "engine/photos/file_stamp.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/rename/file_name_parts.hpp"

namespace parvel {

namespace {

namespace formats = core::graphics::image_formats;
using core::net::http::basic_response;

constexpr char atom_type[] = "application/atom+xml";
constexpr char octets_type[] = "application/octet-stream";
constexpr std::size_t thumbnail_limit = 3;

void expect_ok(const basic_response& response, const char* step, const std::string& url) {
  if (response.status != 200) {
    throw std::runtime_error(std::string(step) + ": '" + url + "' error: [" +
                             std::to_string(response.status) + ", " + response.reason + "]");
  }
}

// A 200 of the service itself, for the answers whose body is not read (the
// uploads) or whose unreadable body is forgiven (the package). Something
// between the program and the service (a filtering front's block page, a
// captive portal) may answer in its stead with a 200 and a page of its own:
// then the step did not reach the service. The service's own entry is its
// answer under any label.
void expect_service_answer(const basic_response& response, const char* step,
                           const std::string& url) {
  expect_ok(response, step, url);
  if (core::net::http::is_html_page(response) && !interop::is_atom_entry(response.body)) {
    throw std::runtime_error(
        std::string(step) + ": '" + url + "' answered with a page, not by the service: [" +
        std::to_string(response.status) + ", " + response.reason + ", Content-Type '" +
        core::net::http::find_header(response.headers, "Content-Type").value_or("") + "']");
  }
}

void expect_address(const std::string& address, const char* step) {
  if (address.empty()) {
    throw std::runtime_error(std::string(step) + ": href is invalid.");
  }
}

std::string read_archive(const std::string& path) {
  core::io::filesystem::input_file in(path);
  if (in.open_error() != 0) {
    // The user sees the generic failure; the log names what the system refused.
    throw std::system_error(in.open_error(), std::generic_category(),
                            "req_server_upload: package_path is invalid.");
  }
  if (!in.seekg(0, std::ios::end)) {
    throw std::runtime_error("req_server_upload: package_path is invalid.");
  }
  const std::streamoff size = in.tellg();
  if (size <= 0) {
    throw std::runtime_error("req_server_upload: data stream is empty.");
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) {
    throw std::runtime_error("req_server_upload: cannot read the archive.");
  }
  return bytes;
}

// Every request carries the send's data to the service: links of its answers
// that leave https are refused as its redirects are, and a redirect that
// would make a GET of it fails it rather than pass for the service's answer.
void guard(core::net::http::basic_request& request, const std::string& url) {
  if (request.scheme != "https") {
    throw std::runtime_error("refused a link that leaves https: '" + url + "'");
  }
  request.redirect_may_change_method = false;
}

bool has_thumbnail(photo_entry& photo) {
  const auto format = core::graphics::image_format_from_extension(
      split_at_last_dot(photo.get_display_name()).extension);
  return format != formats::psd && format != formats::raw;
}

}  // namespace

photo_upload::photo_upload(std::shared_ptr<package_info> package)
    : cancellable_job("photo_upload"),
      package_(std::move(package)),
      service_base_(service_base_url()),
      culture_(application::instance()->settings()->culture) {}

void photo_upload::run() {
  try {
    signal_preparing();
    signal_status(parvel_code::send_upload_start);
    // A Retry sends the kept archive: one removed or changed since fails
    // before the service holds a media entry and a ticket for it.
    expect_archive_as_built(package_->archive_path());
    const std::string media_href = req_server_media().link(0).href();
    const interop::ticket archive_ticket = req_server_ticket(media_href);
    signal_status(parvel_code::send_uploading);
    req_server_upload(archive_ticket.value);
    photo_thumbnail_upload(media_href);
    package_account(media_href);
  } catch (const job_canceled&) {
    core::log::write(core::log::severity::info, "photo_upload canceled");
    signal_canceled();
    return;
  } catch (const parvel_error& e) {
    core::log::write(core::log::severity::error, "photo_upload failed: parvel code: %#x, '%s'",
                     static_cast<int>(e.code()), e.what());
    report_failure(e);
    return;
  } catch (const std::system_error& e) {
    // File-system failures: an archive, as built, that cannot be read.
    core::log::write(core::log::severity::error, "photo_upload failed: system code: %u, '%s'",
                     static_cast<unsigned>(e.code().value()), e.what());
    report_failure(parvel_error(parvel_code::network_error_generic));
    return;
  } catch (const core::windows_system_error& e) {
    core::log::write(core::log::severity::error, "photo_upload failed: system code: %u, '%s'",
                     e.code(), e.what());
    int code = parvel_code::network_error_generic;
    if (e.code() == core::winhttp_error::cannot_connect) {
      code = parvel_code::network_error_host_not_found;
    } else if (e.code() == core::winhttp_error::timeout) {
      code = parvel_code::network_error_connection_timeout;
    }
    report_failure(parvel_error(code));
    return;
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::error, "photo_upload failed: '%s'", e.what());
    report_failure(parvel_error(parvel_code::network_error_generic));
    return;
  }
  // Outside the try: a slot's exception must not add a second outcome.
  signal_succeeded();
}

void photo_upload::abort_work() noexcept {
  client_.cancel();
}

void photo_upload::report_failure(const parvel_error& error) {
  report_failure_to(signal_canceled, signal_failed, error);
}

void photo_upload::on_package_progress(std::uint64_t sent, std::uint64_t total) {
  // Reported once the bytes have left: with the last piece the service may
  // notify the recipients, whether or not its answer is awaited.
  package_sent_ = sent == total;
  throw_if_canceled();
}

void photo_upload::on_archive_progress(std::uint64_t sent, std::uint64_t total) {
  // An archive stays below 4 GiB, so both fit.
  archive_sent_ = static_cast<unsigned>(sent);
  archive_total_ = static_cast<unsigned>(total);
  tell_archive_progress();
}

void photo_upload::on_archive_through_proxy() {
  through_proxy_ = true;
  // Before the first amount, and from the last on while the proxy forwards.
  if (archive_total_ != 0 && archive_sent_ == archive_total_) {
    tell_archive_progress();
  }
}

void photo_upload::tell_archive_progress() {
  signal_progress(archive_sent_, archive_total_, through_proxy_);
  // Closes the gap between the test before a request and its start, which
  // the client's own cancel does not see.
  throw_if_canceled();
}

basic_response photo_upload::post(const std::string& url, const std::string& body,
                                  const std::string& content_type,
                                  const core::string_map& headers) {
  throw_if_canceled();
  core::net::http::basic_request request(url, headers);
  guard(request, url);
  return client_.post(request, body, content_type);
}

basic_response photo_upload::put(const std::string& url, const std::string& body,
                                 const std::string& content_type) {
  throw_if_canceled();
  core::net::http::basic_request request(url, {});
  guard(request, url);
  return client_.put(request, body, content_type);
}

basic_response photo_upload::put_file(const std::string& url, const std::string& path) {
  throw_if_canceled();
  core::net::http::basic_file_request request(url, {}, path);
  guard(request, url);
  return client_.put(request, octets_type, path);
}

interop::media photo_upload::req_server_media() {
  interop::media entry;
  entry.mime_type = octets_type;
  entry.format = "zip";
  entry.resolution = "multiple";
  entry.original_name = package_->archive_name;
  entry.entries = static_cast<std::uint32_t>(package_->photo_count());
  entry.client_type = "windows";
  const std::string url = service_base_ + "/atom/1.0/media/";
  const basic_response response = post(url, entry.to_xml(), atom_type);
  expect_ok(response, "req_server_media", url);
  return interop::media::parse(response.body);
}

interop::ticket photo_upload::req_server_ticket(const std::string& href) {
  expect_address(href, "req_server_ticket");
  const std::string url = href + "/uploadticket/";
  // The service expects this text as the body, not an empty one.
  const basic_response response = post(url, atom_type, octets_type);
  expect_ok(response, "req_server_ticket", url);
  return interop::ticket::parse(response.body);
}

void photo_upload::req_server_upload(const std::string& address) {
  expect_address(address, "req_server_upload");
  const std::string path = package_->archive_path();
  const std::uint64_t size = expect_archive_as_built(path);
  client_.set_upload_progress(
      [this](std::uint64_t sent, std::uint64_t total) { on_archive_progress(sent, total); });
  client_.set_proxy_holding([this] { on_archive_through_proxy(); });
  basic_response response;
  try {
    response = size <= in_memory_limit ? put(address, read_archive(path), octets_type)
                                       : put_file(address, path);
  } catch (const std::exception&) {
    // An archive cut, rewritten or removed while it was read fails the PUT
    // as a broken connection would: the archive tells which it was.
    expect_archive_as_built(path);
    throw;
  }
  // The send's progress is the archive's; the bodies after it only close
  // the gap between a cancel and their start.
  client_.set_upload_progress([this](std::uint64_t, std::uint64_t) { throw_if_canceled(); });
  client_.set_proxy_holding({});
  // Nothing changed the file while it was read: the service has the archive
  // as built, or no package names it.
  expect_archive_as_built(path);
  expect_service_answer(response, "req_server_upload", address);
}

std::uint64_t photo_upload::expect_archive_as_built(const std::string& path) {
  const std::optional<file_stamp> built = package_->built_archive();
  try {
    if (built && stamp_of(path, "the archive " + path).same_bytes(*built)) {
      return built->size;
    }
    core::log::write(core::log::severity::error,
                     "req_server_upload: the archive is not as it was made: %s", path);
  } catch (const std::system_error& e) {
    // Removed with its folder or alone, by a cleaner of the temporary folder
    // or the user's own tidying: no fault of the network.
    core::log::write(core::log::severity::error, "req_server_upload: %s", e.what());
  }
  // The next send makes it again.
  package_->archived = false;
  throw parvel_error(parvel_code::zip_error_generic);
}

void photo_upload::photo_thumbnail_upload(const std::string& media_href) {
  std::vector<photo_entry> photos = package_->photos();
  const std::size_t limit = std::min(photos.size(), thumbnail_limit);
  std::size_t next = 0;
  for (std::size_t attempts = 0; attempts < limit && next < photos.size(); ++attempts) {
    throw_if_canceled();
    try {
      while (next < photos.size() && !has_thumbnail(photos[next])) {
        ++next;
      }
      if (next == photos.size()) {
        break;
      }
      thumbnail_chain chain;
      make_thumbnail(chain, photos[next++], cancel_flag());
      const interop::thumbnail entry = req_server_thumbnail(media_href, chain);
      const interop::ticket ticket = req_server_ticket(entry.link(0).href());
      req_server_upload_thumbnail(ticket.value, chain);
    } catch (const std::exception& e) {
      core::log::write(core::log::severity::error, "photo_thumbnail_upload failed: '%s'", e.what());
    }
  }
}

interop::thumbnail photo_upload::req_server_thumbnail(const std::string& media_href,
                                                      const thumbnail_chain& chain) {
  expect_address(media_href, "req_server_thumbnail");
  const interop::thumbnail entry(chain.resize->result_width(), chain.resize->result_height());
  const std::string url = media_href + "/thumbnail/";
  const basic_response response = post(url, entry.to_xml(), atom_type);
  expect_ok(response, "req_server_thumbnail", url);
  return interop::thumbnail::parse(response.body);
}

void photo_upload::req_server_upload_thumbnail(const std::string& address,
                                               const thumbnail_chain& chain) {
  expect_address(address, "req_server_upload_thumbnail");
  const auto& device = chain.save->device();
  if (device.size() == 0) {
    throw std::runtime_error("req_server_upload_thumbnail: stream is empty.");
  }
  const basic_response response =
      put(address, std::string(device.data(), device.size()), "image/jpeg");
  expect_service_answer(response, "req_server_upload_thumbnail", address);
}

void photo_upload::package_account(const std::string& media_href) {
  interop::package entry;
  entry.media = media_href;
  entry.from = package_->sender;
  entry.subject = package_->subject;
  entry.message = package_->message;
  entry.recipients = package_->recipients;
  core::string_map headers;
  if (!culture_.empty()) {
    headers["Accept-Language"] = culture_;
  }
  const std::string url = service_base_ + "/atom/1.0/package/";
  client_.set_upload_progress(
      [this](std::uint64_t sent, std::uint64_t total) { on_package_progress(sent, total); });
  // Once the answer's head has arrived the service has taken the package: a
  // body then cut short, closed, too slow to end or no longer awaited after
  // a cancel leaves the answer unreadable, and the head decides.
  std::string unreadable;
  const auto head_decides = [&](const auto& e) -> basic_response {
    if (e.arrived().status == 0) {
      throw;
    }
    unreadable = e.what();
    return e.arrived();
  };
  const auto post_package = [&]() -> basic_response {
    try {
      return post(url, entry.to_xml(), atom_type, headers);
    } catch (const core::net::http::transport_error& e) {
      return head_decides(e);
    } catch (const core::net::http::call_canceled& e) {
      return head_decides(e);
    }
  };
  basic_response response;
  try {
    response = post_package();
  } catch (...) {
    if (package_sent_ && canceled()) {
      core::log::write(core::log::severity::warning,
                       "package_account: canceled after the package was sent; its answer was "
                       "not awaited");
    }
    throw;
  }
  // The answer has arrived: it decides the outcome, whenever a cancel comes.
  settle_outcome();
  if (response.status == 403) {
    throw parvel_error(parvel_code::network_error_forbidden);
  }
  expect_service_answer(response, "package_account", url);
  // The service has accepted the package and notifies the recipients: an
  // answer of its own that we cannot read must not turn the send into a
  // failure, which the user would retry, notifying them twice.
  if (unreadable.empty()) {
    try {
      interop::package::parse(response.body);
    } catch (const std::exception& e) {
      unreadable = e.what();
    }
  }
  if (!unreadable.empty()) {
    core::log::write(core::log::severity::warning, "package_account: unreadable answer: '%s'",
                     unreadable.c_str());
  }
}

}  // namespace parvel
