#include "core/net/uri.hpp"

#include <algorithm>
#include <boost/lexical_cast.hpp>
#include <stdexcept>

namespace core::net {

namespace {

std::string lower_ascii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
  });
  return text;
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
      if (host_part.empty()) {
        throw std::invalid_argument("Invalid basic_uri. The Host could not be located and parsed.");
      }
    }
    const std::size_t port_colon = host_part.find(':');
    if (port_colon != std::string::npos) {
      port_ = boost::lexical_cast<int>(host_part.substr(port_colon + 1));
      host_part.resize(port_colon);
    }
    host_ = lower_ascii(host_part);
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
