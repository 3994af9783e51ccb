// PUTs one file with the program's HTTP client; fails unless the service
// answers 200 with the byte count it received.
#include <filesystem>
#include <iostream>

#include "core/net/http/client.hpp"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: bench_upload_client URL FILE\n";
    return 2;
  }
  try {
    core::net::http::basic_file_client client;
    core::net::http::basic_file_request request(argv[1], {}, argv[2]);
    const auto response = client.put(request, "application/octet-stream", argv[2]);
    const std::string sent = std::to_string(std::filesystem::file_size(argv[2]));
    if (response.status != 200 || response.body != sent) {
      std::cerr << "the service answered " << response.status << " '" << response.body << "' to "
                << sent << " bytes\n";
      return 1;
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
}
