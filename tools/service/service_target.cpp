#include "tools/service/service_target.hpp"

#include <algorithm>
#include <vector>

#include "tools/service/protocol_names.hpp"

namespace service {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const auto end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) {
      return parts;
    }
    start = end + 1;
  }
}

bool is_number(std::string_view text) {
  return !text.empty() && text.size() <= 9 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string ticket_of(std::string_view query) {
  for (const auto pair : split(query, '&')) {
    constexpr std::string_view key = "ticket=";
    if (pair.substr(0, key.size()) == key) {
      return std::string(pair.substr(key.size()));
    }
  }
  return {};
}

// The path below <base>/atom/1.0/, split at its slashes.
std::optional<service_target> parse_atom_path(const std::vector<std::string_view>& parts) {
  using parts_t = std::vector<std::string_view>;
  service_target target;
  if (parts == parts_t{"media", ""}) {
    target.kind = step::media;
    return target;
  }
  if (parts == parts_t{"package", ""}) {
    target.kind = step::package;
    return target;
  }
  if (parts.size() < 3 || parts[0] != "media" || !is_number(parts[1])) {
    return std::nullopt;
  }
  target.media_id = std::string(parts[1]);
  const parts_t rest(parts.begin() + 2, parts.end());
  if (rest == parts_t{"uploadticket", ""}) {
    target.kind = step::archive_ticket;
  } else if (rest == parts_t{"content"}) {
    target.kind = step::archive;
  } else if (rest == parts_t{"thumbnail", ""}) {
    target.kind = step::thumbnail;
  } else if (rest.size() >= 3 && rest[0] == "thumbnail" && is_number(rest[1])) {
    target.thumbnail = static_cast<unsigned>(std::stoul(std::string(rest[1])));
    const parts_t last(rest.begin() + 2, rest.end());
    if (last == parts_t{"uploadticket", ""}) {
      target.kind = step::thumbnail_ticket;
    } else if (last == parts_t{"content"}) {
      target.kind = step::thumbnail_image;
    } else {
      return std::nullopt;
    }
  } else {
    return std::nullopt;
  }
  return target;
}

}  // namespace

std::optional<service_target> parse_target(std::string_view target) {
  const auto query_start = target.find('?');
  const std::string_view path = target.substr(0, query_start);
  const std::string_view query =
      query_start == std::string_view::npos ? std::string_view() : target.substr(query_start + 1);

  if (path.substr(0, feed_folder_path.size()) == feed_folder_path) {
    const std::string_view name = path.substr(feed_folder_path.size());
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos) {
      return std::nullopt;
    }
    service_target feed;
    feed.kind = name == feed_file_name ? step::feed : step::feed_file;
    feed.file_name = std::string(name);
    return feed;
  }

  const std::string atom_root = std::string(service_path) + "/atom/1.0/";
  if (path.substr(0, atom_root.size()) != atom_root) {
    return std::nullopt;
  }
  auto parsed = parse_atom_path(split(path.substr(atom_root.size()), '/'));
  if (parsed && (parsed->kind == step::archive || parsed->kind == step::thumbnail_image)) {
    parsed->ticket = ticket_of(query);
  }
  return parsed;
}

std::string_view step_method(step kind) {
  switch (kind) {
    case step::archive:
    case step::thumbnail_image:
      return "PUT";
    case step::feed:
    case step::feed_file:
      return "GET";
    default:
      return "POST";
  }
}

}  // namespace service
