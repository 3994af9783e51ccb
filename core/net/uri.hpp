#pragma once

#include <string>

namespace core::net {

// A URL split at its separators, without percent-decoding. Scheme and host
// are lower-cased; http and https get their default ports. The host is a
// name, an IPv4 address or a bracketed IPv6 address, brackets kept, and is
// checked, since it goes on to libcurl in a URL.
template <class Char>
class basic_uri;

template <>
class basic_uri<char> {
 public:
  enum kind_type { unparsed = 0, relative = 1, absolute = 2 };

  // Throws std::invalid_argument for a URL whose parts cannot be found or
  // whose host is not one, and boost::bad_lexical_cast for a port that is not
  // a number from 0 to 65535.
  explicit basic_uri(const std::string& text);

  // The request target: path and query. A '#' left in the path (a URL with a
  // fragment but no query) is cut off too: fragments never go to a server.
  std::string path_and_query() const;

  const std::string& text() const { return text_; }
  const std::string& normalized() const { return normalized_; }
  const std::string& scheme() const { return scheme_; }
  const std::string& host() const { return host_; }
  int port() const { return port_; }
  const std::string& user() const { return user_; }
  const std::string& password() const { return password_; }
  const std::string& path() const { return path_; }
  const std::string& query() const { return query_; }
  const std::string& fragment() const { return fragment_; }
  int kind() const { return kind_; }

 private:
  void parse();
  void normalize();

  std::string text_;
  std::string normalized_;
  std::string scheme_;
  std::string host_;
  int port_ = 0;
  std::string user_;
  std::string password_;
  std::string path_;
  std::string query_;
  std::string fragment_;
  int kind_ = unparsed;
};

using uri = basic_uri<char>;

}  // namespace core::net
