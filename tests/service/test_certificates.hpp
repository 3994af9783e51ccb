#pragma once

#include <string>

namespace test_support {

// A certificate authority and a server certificate signed by it, made by the
// openssl tool in a fresh temporary folder that goes with the object.
class test_certificates {
 public:
  // alt_names: the server certificate's subjectAltName, such as "IP:127.0.0.1".
  explicit test_certificates(const std::string& alt_names = "IP:127.0.0.1");
  ~test_certificates();
  test_certificates(const test_certificates&) = delete;
  test_certificates& operator=(const test_certificates&) = delete;

  const std::string& folder() const { return folder_; }
  std::string ca_file() const { return folder_ + "/ca.pem"; }
  std::string certificate_file() const { return folder_ + "/server.pem"; }
  std::string key_file() const { return folder_ + "/server.key"; }

 private:
  std::string folder_;
};

}  // namespace test_support
