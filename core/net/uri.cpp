#include "core/net/uri.hpp"

#include <arpa/inet.h>

#include <algorithm>
#include <boost/lexical_cast.hpp>
#include <stdexcept>
#include <string_view>
#include <typeinfo>

namespace core::net {

namespace {

std::string lower_ascii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
  });
  return text;
}

const char* const host_not_found = "Invalid basic_uri. The Host could not be located and parsed.";

// A name of RFC 3986 (letters, digits, "-._~", sub-delimiters, percent
// escapes) or of UTF-8 bytes, which libcurl converts itself. Any other byte
// would make libcurl read another host, or another URL, than this one.
bool is_host_name(std::string_view host) {
  constexpr std::string_view punctuation = "-._~!$&'()*+,;=%";
  return !host.empty() && std::all_of(host.begin(), host.end(), [&](unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c >= 0x80 || punctuation.find(static_cast<char>(c)) != std::string_view::npos;
  });
}

// "[" IPv6 address "]": no zone, no future forms, which libcurl and
// browsers refuse too.
bool is_ipv6_literal(std::string_view host) {
  if (host.size() < 3 || host.front() != '[' || host.back() != ']') {
    return false;
  }
  // inet_pton reads up to a NUL: every byte must be one it reads.
  const std::string inner(host.substr(1, host.size() - 2));
  in6_addr address{};
  return inner.find('\0') == std::string::npos && inet_pton(AF_INET6, inner.c_str(), &address) == 1;
}

// 1 to 5 digits, at most 65535: what fits a TCP port. Anything else fails
// as a cast of the text to a number does.
int port_number(std::string_view text) {
  const bool digits =
      !text.empty() && text.size() <= 5 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const int port = digits ? std::stoi(std::string(text)) : -1;
  if (port < 0 || port > 65535) {
    throw boost::bad_lexical_cast(typeid(std::string), typeid(int));
  }
  return port;
}

}  // namespace

basic_uri<char>::basic_uri(const std::string& text) : text_(text) {
  parse();
  normalize();
}

void basic_uri<char>::parse() {
  const std::string& t = text_;
  std::size_t start = 0;

  const std::size_t colon = t.find(':');
  const bool has_scheme = colon != std::string::npos;
  if (has_scheme) {
    scheme_ = lower_ascii(t.substr(0, colon));
    start = colon + 1;
  }

  bool has_authority = false;
  if (t.compare(start, 2, "//") == 0) {
    has_authority = true;
    const std::size_t authority_begin = start + 2;
    const std::size_t authority_end = t.find('/', authority_begin);
    if (authority_end == std::string::npos || authority_end == authority_begin) {
      throw std::invalid_argument("Invalid URL. The Hierarchy could not be located and parsed.");
    }
    std::string authority = t.substr(authority_begin, authority_end - authority_begin);
    std::string host_part = authority;
    const std::size_t at = authority.find('@');
    if (at != std::string::npos) {
      const std::size_t user_colon = authority.find(':');
      if (user_colon == std::string::npos || user_colon > at) {
        // A user without a password: the only colon belongs to the port.
        if (user_colon == std::string::npos) {
          throw std::invalid_argument("Invalid URL. User could not be located.");
        }
        user_ = authority.substr(0, at);
      } else {
        user_ = authority.substr(0, user_colon);
        password_ = authority.substr(user_colon + 1, at - user_colon - 1);
      }
      host_part = authority.substr(at + 1);
    }
    // An IPv6 host stands in brackets, its colons inside them; the port
    // follows the closing one.
    const bool bracketed = host_part.starts_with('[');
    const std::size_t close = host_part.find(']');
    const std::size_t port_colon = !bracketed                   ? host_part.find(':')
                                   : close == std::string::npos ? close
                                                                : close + 1;
    const std::string_view host = std::string_view(host_part).substr(0, port_colon);
    if (bracketed ? !is_ipv6_literal(host) : !is_host_name(host)) {
      throw std::invalid_argument(host_not_found);
    }
    if (port_colon < host_part.size()) {
      if (host_part[port_colon] != ':') {
        throw std::invalid_argument(host_not_found);
      }
      port_ = port_number(std::string_view(host_part).substr(port_colon + 1));
    }
    // Brackets kept: the host is written back into URLs as it came.
    host_ = lower_ascii(std::string(host));
    if (port_ == 0 && scheme_ == "http") {
      port_ = 80;
    } else if (port_ == 0 && scheme_ == "https") {
      port_ = 443;
    }
    start = authority_end;
  } else {
    start = 0;
  }

  const std::size_t slash = t.find('/', start);
  if (slash != std::string::npos) {
    const std::size_t question = t.find('?', start);
    if (slash != start) {
      path_.push_back('/');
    }
    path_.append(t, start, question - start);
    if (question != std::string::npos) {
      const std::size_t hash = t.find('#', question);
      query_ = t.substr(question, hash - question);
      if (hash != std::string::npos) {
        fragment_ = t.substr(hash);
      }
    }
  }

  kind_ = !has_scheme && !has_authority ? relative : absolute;
}

void basic_uri<char>::normalize() {
  if (kind_ == absolute) {
    normalized_ = scheme_ + "://";
    if (!user_.empty() && !password_.empty()) {
      normalized_ += user_ + ":" + password_ + "@";
    }
    normalized_ += host_;
    if (port_ != 0) {
      normalized_ += ':';
      normalized_ += std::to_string(port_);
    }
  }
  normalized_ += path_ + query_ + fragment_;
}

std::string basic_uri<char>::path_and_query() const {
  return path_.substr(0, path_.find('#')) + query_;
}

}  // namespace core::net
