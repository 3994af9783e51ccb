#include "core/net/http/raw_headers.hpp"

#include <sstream>
#include <stdexcept>

namespace core::net::http {

namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string trim_end(std::string text) {
  while (!text.empty() && is_space(text.back())) {
    text.pop_back();
  }
  return text;
}

std::string trim_start(const std::string& text) {
  std::size_t first = 0;
  while (first < text.size() && is_space(text[first])) {
    ++first;
  }
  return text.substr(first);
}

}  // namespace

void parse_raw_headers(const std::string& raw, basic_response& response) {
  std::istringstream in(raw);
  std::string version;
  int status = 0;
  std::string reason;
  if (!(in >> version >> status) || version.rfind("HTTP/", 0) != 0) {
    throw std::runtime_error("HTTP version not found. Invalid response.");
  }
  std::getline(in, reason);
  response.version = version;
  response.status = status;
  response.reason = trim_end(trim_start(reason));

  for (std::string line; std::getline(in, line) && line != "\r";) {
    line = trim_end(std::move(line));
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) {
      continue;
    }
    const std::size_t value = line.find_first_not_of(" \t", colon + 1);
    response.headers[line.substr(0, colon)] =
        value == std::string::npos ? std::string() : line.substr(value);
  }
}

}  // namespace core::net::http
