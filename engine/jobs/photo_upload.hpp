#pragma once

#include <boost/signals2/signal.hpp>
#include <cstdint>
#include <memory>
#include <string>

#include "core/key_value_params.hpp"
#include "core/net/http/client.hpp"
#include "engine/errors/parvel_error.hpp"
#include "engine/jobs/cancellable_job.hpp"

namespace parvel {

class package_info;
struct thumbnail_chain;

namespace interop {
class media;
class package;
class thumbnail;
class ticket;
}  // namespace interop

// Hands a finished archive to the service: a media entry, an upload ticket,
// the archive itself, up to three thumbnails (whose failures are only
// logged) and the package entry, after which the service notifies the
// recipients. An HTML page answering an upload or the package in the
// service's stead fails that step; once the package's answer has begun to
// arrive, its head decides, whatever becomes of its body. Ends with exactly
// one of succeeded, failed or canceled. After a cancel no further request
// starts, so the package is never posted then. A cancel once the package's
// body is sent ends the wait for its answer: the send ends canceled, though
// the service may have taken the package (which is logged); once the
// answer's head has arrived a cancel changes nothing.
class photo_upload : public cancellable_job {
 public:
  // Archives up to this size are sent from memory, larger ones from the file.
  static constexpr std::uint64_t in_memory_limit = 10 * 1024 * 1024;

  // Takes the service address and the culture from the application's
  // settings: construct on the thread that owns them.
  explicit photo_upload(std::shared_ptr<package_info> package);

  boost::signals2::signal<void()> signal_preparing;
  boost::signals2::signal<void()> signal_succeeded;
  // Bytes of the archive that have left the machine, of its size, and
  // whether they went through a proxy's tunnel, which may still hold some of
  // them: once all have left, told again about once a second while it may
  // still be forwarding them, until the answer begins.
  // The requests after it report nothing: their small bodies would read as
  // the send's amount.
  boost::signals2::signal<void(unsigned sent, unsigned total, bool through_proxy)> signal_progress;
  boost::signals2::signal<void(const parvel_error&)> signal_failed;
  boost::signals2::signal<void()> signal_canceled;
  boost::signals2::signal<void(parvel_code::parvel_code)> signal_status;

  // A cancel stops the request in flight at once, also while it waits for
  // its answer (only what had left the machine may still reach the
  // service), and any request not yet started.
  void run() override;

 private:
  interop::media req_server_media();
  interop::ticket req_server_ticket(const std::string& href);
  // The archive is sent only as its build left it (see file_stamp): a
  // file removed or changed since, before or while it is read, fails with
  // the zipping error and leaves the set to be archived again.
  void req_server_upload(const std::string& address);
  // The archive's size as built.
  std::uint64_t expect_archive_as_built(const std::string& path);
  void photo_thumbnail_upload(const std::string& media_href);
  interop::thumbnail req_server_thumbnail(const std::string& media_href,
                                          const thumbnail_chain& chain);
  void req_server_upload_thumbnail(const std::string& address, const thumbnail_chain& chain);
  void package_account(const std::string& media_href);

  // Every request goes through these, which refuse to start after a cancel.
  // Every answer is held to the client's deadline, the archive's too: it
  // counts from the service's taking the request's last byte, so a long
  // upload, or one over a slow link, is never cut.
  core::net::http::basic_response post(const std::string& url, const std::string& body,
                                       const std::string& content_type,
                                       const core::string_map& headers = {});
  core::net::http::basic_response put(const std::string& url, const std::string& body,
                                      const std::string& content_type);
  // The archive, streamed from its file.
  core::net::http::basic_response put_file(const std::string& url, const std::string& path);

  void on_archive_progress(std::uint64_t sent, std::uint64_t total);
  void on_archive_through_proxy();
  // The archive's progress as last told, then a cancel's test.
  void tell_archive_progress();
  void on_package_progress(std::uint64_t sent, std::uint64_t total);
  void abort_work() noexcept override;
  // canceled when a cancel was asked, else failed with the error.
  void report_failure(const parvel_error& error);

  const std::shared_ptr<package_info> package_;
  const std::string service_base_;
  const std::string culture_;
  core::net::http::basic_file_client client_;
  // The package's last body piece has left for the service; the run's thread
  // alone reads and writes it.
  bool package_sent_ = false;
  // The archive's last progress; the run's thread alone.
  unsigned archive_sent_ = 0;
  unsigned archive_total_ = 0;
  bool through_proxy_ = false;
};

}  // namespace parvel
