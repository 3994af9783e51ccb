#include "tools/service/web_service.hpp"

#include <algorithm>
#include <boost/algorithm/string/predicate.hpp>
#include <boost/algorithm/string/replace.hpp>
#include <boost/algorithm/string/trim.hpp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <stdexcept>
#include <system_error>

#include "tools/service/answer_entries.hpp"
#include "tools/service/kept_file.hpp"
#include "tools/service/package_line.hpp"
#include "tools/service/protocol_names.hpp"
#include "tools/service/refusal.hpp"
#include "tools/service/service_target.hpp"

namespace service {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view atom_type = "application/atom+xml";
constexpr std::string_view octets_type = "application/octet-stream";
constexpr std::string_view jpeg_type = "image/jpeg";
// The body of every upload-ticket request.
constexpr std::string_view ticket_request_body = "application/atom+xml";

void require_type(const received_request& request, std::string_view expected) {
  std::string type = request.header("Content-Type");
  type = type.substr(0, type.find(';'));
  boost::trim(type);
  if (!boost::iequals(type, expected)) {
    throw refusal(415, "the Content-Type is '" + request.header("Content-Type") + "', not '" +
                           std::string(expected) + "'");
  }
}

void require_ticket_body(const received_request& request) {
  require_type(request, octets_type);
  if (request.body != ticket_request_body) {
    throw refusal(400, "the body of a ticket request is '" + std::string(ticket_request_body) +
                           "', not '" + request.body + "'");
  }
}

void write_whole_file(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    throw refusal(500, "cannot keep " + path.string());
  }
}

std::optional<std::string> read_whole_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

reply answer(std::string_view content_type, std::string body) {
  reply made;
  made.headers = {{"Content-Type", std::string(content_type)}};
  made.body = std::move(body);
  return made;
}

reply refused(int status, std::string reason) {
  reply made = answer("text/plain; charset=utf-8", std::move(reason));
  made.status = status;
  return made;
}

bool fault_acts(const fault& scripted, std::size_t ordinal) {
  return ordinal >= scripted.skip && (!scripted.count || ordinal - scripted.skip < *scripted.count);
}

}  // namespace

class web_service::impl {
 public:
  explicit impl(options settings) : settings_(std::move(settings)) {
    std::error_code error;
    fs::create_directories(settings_.data_folder, error);
    if (settings_.data_folder.empty() || !fs::is_directory(settings_.data_folder)) {
      throw std::runtime_error("cannot create the data folder '" + settings_.data_folder.string() +
                               "'");
    }
    server_.emplace(settings_.http);
    origin_ = server_->base_url();
    server_->set_router([this](const received_request& head) { return route_for(head); });
  }

  ~impl() { stop(); }

  void stop() { server_->stop(); }

  unsigned short port() const { return server_->port(); }
  std::string base_url() const { return origin_ + std::string(service_path); }
  std::string feed_url() const {
    return origin_ + std::string(feed_folder_path) + std::string(feed_file_name);
  }

  void set_fault(step kind, const fault& scripted) {
    const std::lock_guard lock(mutex_);
    faults_[kind] = {scripted, 0};
  }

  void clear_faults() {
    const std::lock_guard lock(mutex_);
    faults_.clear();
  }

  std::vector<received_request> requests() const { return server_->requests(); }

  bool wait_for_requests(std::size_t count, std::chrono::milliseconds limit) const {
    return server_->wait_for_requests(count, limit);
  }

  std::vector<kept_media> media() const {
    const std::lock_guard lock(mutex_);
    return media_;
  }

  std::vector<kept_package> packages() const {
    const std::lock_guard lock(mutex_);
    return packages_;
  }

 private:
  struct issued_ticket {
    std::string media_id;
    // 0 for the archive.
    unsigned thumbnail = 0;
  };

  struct scripted_fault {
    fault scripted;
    // Requests of the step seen since the fault was set.
    std::size_t seen = 0;
  };

  // A step's answer, or its refusal; runs on the serving thread.
  using step_answer = std::function<reply(const received_request&)>;

  // Called from the router, on the serving thread.
  std::optional<route> route_for(const received_request& head) {
    const auto target = parse_target(head.target);
    if (!target) {
      return std::nullopt;
    }
    route handling = step_route(*target, head);
    apply_fault(target->kind, handling);
    return handling;
  }

  route step_route(const service_target& target, const received_request& head) {
    route handling;
    handling.method = head.method;
    handling.path = head.target.substr(0, head.target.find('?'));
    const std::string_view method = step_method(target.kind);
    const bool head_of_get = method == "GET" && head.method == "HEAD";
    if (head.method != method && !head_of_get) {
      return refusing(std::move(handling), refusal(405, "the address takes " + std::string(method)),
                      {{"Allow", std::string(method)}});
    }
    try {
      switch (target.kind) {
        case step::media:
          return answering(std::move(handling), [this](const auto& r) { return take_media(r); });
        case step::archive_ticket:
          return answering(std::move(handling),
                           [this, target](const auto& r) { return issue_ticket(target, r); });
        case step::thumbnail:
          return answering(std::move(handling),
                           [this, target](const auto& r) { return take_thumbnail(target, r); });
        case step::thumbnail_ticket:
          return answering(std::move(handling),
                           [this, target](const auto& r) { return issue_ticket(target, r); });
        case step::package:
          return answering(std::move(handling), [this](const auto& r) { return take_package(r); });
        case step::archive:
          return archive_route(std::move(handling), target, head);
        case step::thumbnail_image:
          check_upload(target, head, jpeg_type);
          return answering(std::move(handling), [this, target](const auto& r) {
            return take_thumbnail_image(target, r);
          });
        case step::feed:
        case step::feed_file:
          handling.body = body_mode::discard;
          return answering(std::move(handling),
                           [this, target](const auto&) { return feed_file(target); });
      }
    } catch (const refusal& refused_early) {
      return refusing(std::move(handling), refused_early, {});
    }
    return handling;
  }

  route answering(route handling, step_answer take) {
    handling.respond = [this, take = std::move(take)](const received_request& request) {
      try {
        return take(request);
      } catch (const refusal& e) {
        report_refusal(request, e.status(), e.what());
        return refused(e.status(), e.what());
      }
    };
    return handling;
  }

  // Refused from the head alone: the body is read and dropped.
  route refusing(route handling, const refusal& reason, const header_fields& headers) {
    handling.body = body_mode::discard;
    const int status = reason.status();
    handling.respond = [this, status, text = std::string(reason.what()),
                        headers](const received_request& request) {
      report_refusal(request, status, text);
      reply made = refused(status, text);
      made.headers.insert(made.headers.end(), headers.begin(), headers.end());
      return made;
    };
    return handling;
  }

  void report_refusal(const received_request& request, int status, const std::string& reason) {
    if (settings_.on_refusal) {
      settings_.on_refusal("refused " + request.method + " " + request.target + ": " +
                           std::to_string(status) + " " + reason);
    }
  }

  void apply_fault(step kind, route& handling) {
    fault scripted;
    {
      const std::lock_guard lock(mutex_);
      const auto found = faults_.find(kind);
      if (found == faults_.end() || !fault_acts(found->second.scripted, found->second.seen++)) {
        return;
      }
      scripted = found->second.scripted;
    }
    handling.stall_request = scripted.stall_request;
    handling.cut_request_after = scripted.cut_request_after;
    handling.read_piece = scripted.read_piece;
    handling.read_pause = scripted.read_pause;
    if (scripted.status) {
      handling.body = body_mode::discard;
      handling.sink.reset();
      handling.respond = [status = *scripted.status](const received_request&) {
        return refused(status, "scripted failure");
      };
    }
    handling.respond = [inner = std::move(handling.respond),
                        scripted](const received_request& request) {
      reply made = inner(request);
      if (!scripted.body.empty()) {
        made.body = scripted.body;
      }
      if (!scripted.content_type.empty()) {
        std::erase_if(made.headers, [](const auto& field) {
          return boost::iequals(field.first, "Content-Type");
        });
        made.headers.emplace_back("Content-Type", scripted.content_type);
      }
      if (!scripted.location.empty()) {
        made.headers.emplace_back(
            "Location", boost::replace_all_copy(scripted.location, "{target}", request.target));
      }
      made.delay = scripted.delay;
      made.trickle_piece = scripted.trickle_piece;
      made.trickle_pause = scripted.trickle_pause;
      made.cut_after = scripted.cut_after;
      made.close_notify = scripted.close_notify;
      if (scripted.drop) {
        made.raw = "";
      }
      if (!scripted.raw_answer.empty()) {
        made.raw = scripted.raw_answer + std::string(scripted.blanks, ' ');
      }
      return made;
    };
  }

  // The steps. Each takes the lock itself; none calls out while holding it.

  reply take_media(const received_request& request) {
    require_type(request, atom_type);
    const media_entry read = read_media_entry(request.body);
    const std::lock_guard lock(mutex_);
    kept_media made;
    made.id = new_media_folder();
    made.href = base_url() + "/atom/1.0/media/" + made.id;
    made.entry = request.body;
    made.read = read;
    write_whole_file(media_folder(made.id) / "media.xml", request.body);
    media_.push_back(made);
    return answer(atom_type, media_answer(made.id, made.href, read));
  }

  reply issue_ticket(const service_target& target, const received_request& request) {
    const std::lock_guard lock(mutex_);
    kept_media& media = find_media(target.media_id);
    std::string address = media.href;
    std::string_view upload_type = octets_type;
    if (target.kind == step::thumbnail_ticket) {
      address = find_thumbnail(media, target.thumbnail).href;
      upload_type = jpeg_type;
    }
    require_ticket_body(request);
    const std::string token = new_token();
    tickets_[token] = {media.id, target.thumbnail};
    return answer(atom_type, ticket_answer(token, std::string(upload_type),
                                           address + "/content?ticket=" + token));
  }

  // The archive goes to a file as it arrives: refusals that need only the
  // head come before a byte is written.
  route archive_route(route handling, const service_target& target, const received_request& head) {
    check_upload(target, head, octets_type);
    std::shared_ptr<kept_file> file;
    {
      const std::lock_guard lock(mutex_);
      file = std::make_shared<kept_file>(media_folder(target.media_id) / "archive.zip", ++uploads_);
    }
    handling.body = body_mode::sink;
    handling.sink = file;
    return answering(std::move(handling), [this, target, file](const received_request& request) {
      if (request.body_size == 0) {
        throw refusal(400, "the archive is empty");
      }
      const std::lock_guard lock(mutex_);
      kept_media& media = find_media(target.media_id);
      if (!file->keep()) {
        throw refusal(500, "cannot keep the archive of media " + media.id);
      }
      media.archive = media_folder(media.id) / "archive.zip";
      media.archive_size = request.body_size;
      tickets_.erase(target.ticket);
      return reply{};
    });
  }

  void check_upload(const service_target& target, const received_request& head,
                    std::string_view content_type) {
    const std::lock_guard lock(mutex_);
    kept_media& media = find_media(target.media_id);
    if (target.kind == step::thumbnail_image) {
      find_thumbnail(media, target.thumbnail);
    }
    const auto ticket = tickets_.find(target.ticket);
    if (ticket == tickets_.end() || ticket->second.media_id != target.media_id ||
        ticket->second.thumbnail != target.thumbnail) {
      throw refusal(403, "no ticket '" + target.ticket + "' for this address");
    }
    require_type(head, content_type);
  }

  reply take_thumbnail(const service_target& target, const received_request& request) {
    require_type(request, atom_type);
    const thumbnail_entry read = read_thumbnail_entry(request.body);
    const std::lock_guard lock(mutex_);
    kept_media& media = find_media(target.media_id);
    kept_thumbnail made;
    made.number = static_cast<unsigned>(media.thumbnails.size() + 1);
    made.href = media.href + "/thumbnail/" + std::to_string(made.number);
    made.entry = request.body;
    made.read = read;
    write_whole_file(thumbnail_file(media.id, made.number, ".xml"), request.body);
    media.thumbnails.push_back(made);
    return answer(atom_type,
                  thumbnail_answer(media.id + "." + std::to_string(made.number), made.href, read));
  }

  reply take_thumbnail_image(const service_target& target, const received_request& request) {
    // Every JPEG starts with the start-of-image marker and another marker.
    if (request.body.size() < 3 || request.body.compare(0, 3, "\xFF\xD8\xFF") != 0) {
      throw refusal(400, "the thumbnail is not a JPEG image");
    }
    const std::lock_guard lock(mutex_);
    kept_thumbnail& thumbnail = find_thumbnail(find_media(target.media_id), target.thumbnail);
    const fs::path image = thumbnail_file(target.media_id, target.thumbnail, ".jpg");
    write_whole_file(image, request.body);
    thumbnail.image = image;
    tickets_.erase(target.ticket);
    return reply{};
  }

  reply take_package(const received_request& request) {
    require_type(request, atom_type);
    const package_entry read = read_package_entry(request.body);
    kept_package made;
    {
      const std::lock_guard lock(mutex_);
      const auto media = std::find_if(media_.begin(), media_.end(),
                                      [&](const kept_media& m) { return m.href == read.media; });
      if (media == media_.end()) {
        throw refusal(400,
                      "the package names no media entry of this service: '" + read.media + "'");
      }
      if (media->archive.empty()) {
        throw refusal(400, "the media entry " + media->id + " has no archive");
      }
      if (media->packaged) {
        throw refusal(409, "the media entry " + media->id + " is already in a package");
      }
      write_whole_file(media_folder(media->id) / "package.xml", request.body);
      media->packaged = true;
      made.media_id = media->id;
      made.entry = request.body;
      made.read = read;
      made.accept_language = request.header("Accept-Language");
      made.line = package_line(read, media->read.original_name, media->archive_size);
      packages_.push_back(made);
    }
    if (settings_.on_package) {
      settings_.on_package(made.line);
    }
    return answer(
        atom_type,
        package_answer(made.media_id, base_url() + "/atom/1.0/package/" + made.media_id, read));
  }

  reply feed_file(const service_target& target) const {
    const fs::path path = settings_.feed_folder / target.file_name;
    std::error_code error;
    std::optional<std::string> content;
    if (!settings_.feed_folder.empty() && fs::is_regular_file(path, error)) {
      content = read_whole_file(path);
    }
    if (!content) {
      throw refusal(404, "no file '" + target.file_name + "'");
    }
    const bool feed = path.extension() == ".xml";
    return answer(feed ? atom_type : octets_type, std::move(*content));
  }

  // Under the lock.

  kept_media& find_media(const std::string& id) {
    const auto found =
        std::find_if(media_.begin(), media_.end(), [&](const kept_media& m) { return m.id == id; });
    if (found == media_.end()) {
      throw refusal(404, "no media entry " + id);
    }
    return *found;
  }

  static kept_thumbnail& find_thumbnail(kept_media& media, unsigned number) {
    if (number == 0 || number > media.thumbnails.size()) {
      throw refusal(404, "no thumbnail " + std::to_string(number) + " of media entry " + media.id);
    }
    return media.thumbnails[number - 1];
  }

  // Numbers go on where an earlier run over the same folder left off.
  std::string new_media_folder() {
    for (;; ++next_media_) {
      const std::string id = std::to_string(next_media_);
      std::error_code error;
      if (fs::create_directory(media_folder(id), error)) {
        ++next_media_;
        return id;
      }
      if (error) {
        throw refusal(500, "cannot create " + media_folder(id).string());
      }
    }
  }

  fs::path media_folder(const std::string& id) const { return settings_.data_folder / id; }

  fs::path thumbnail_file(const std::string& media_id, unsigned number,
                          std::string_view extension) const {
    return media_folder(media_id) /
           ("thumbnail-" + std::to_string(number) + std::string(extension));
  }

  std::string new_token() {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(random_()));
    return text;
  }

  const options settings_;
  mutable std::mutex mutex_;
  std::vector<kept_media> media_;
  std::vector<kept_package> packages_;
  std::map<std::string, issued_ticket> tickets_;
  std::map<step, scripted_fault> faults_;
  unsigned next_media_ = 1;
  std::uint64_t uploads_ = 0;
  std::mt19937_64 random_{std::random_device{}()};
  std::string origin_;
  // Made once the rest stands, since its thread calls into it; stopped before
  // the rest goes.
  std::optional<server> server_;
};

web_service::web_service(options settings) : impl_(std::make_unique<impl>(std::move(settings))) {}

web_service::~web_service() = default;

unsigned short web_service::port() const {
  return impl_->port();
}

std::string web_service::base_url() const {
  return impl_->base_url();
}

std::string web_service::feed_url() const {
  return impl_->feed_url();
}

void web_service::set_fault(step kind, const fault& scripted) {
  impl_->set_fault(kind, scripted);
}

void web_service::clear_faults() {
  impl_->clear_faults();
}

std::vector<received_request> web_service::requests() const {
  return impl_->requests();
}

std::vector<received_request> web_service::requests(step kind) const {
  std::vector<received_request> matching;
  for (auto& request : impl_->requests()) {
    const auto target = parse_target(request.target);
    if (target && target->kind == kind) {
      matching.push_back(std::move(request));
    }
  }
  return matching;
}

bool web_service::wait_for_requests(std::size_t count, std::chrono::milliseconds limit) const {
  return impl_->wait_for_requests(count, limit);
}

std::vector<kept_media> web_service::media() const {
  return impl_->media();
}

std::vector<kept_package> web_service::packages() const {
  return impl_->packages();
}

void web_service::stop() {
  impl_->stop();
}

}  // namespace service
