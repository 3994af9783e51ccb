// The loopback service for the upload benchmark: takes PUT /upload over TLS,
// counts the body without keeping it and answers with the count. Prints its
// port, then serves until its standard input closes.
#include <iostream>
#include <string>

#include "tools/service/server.hpp"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: bench_upload_server CERTIFICATE KEY\n";
    return 2;
  }
  try {
    service::server::options settings;
    settings.certificate_file = argv[1];
    settings.private_key_file = argv[2];
    service::server server(settings);
    service::route uploads;
    uploads.method = "PUT";
    uploads.path = "/upload";
    uploads.body = service::body_mode::discard;
    uploads.respond = [](const service::received_request& request) {
      service::reply answer;
      answer.body = std::to_string(request.body_size);
      return answer;
    };
    server.add_route(uploads);
    std::cout << server.port() << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
}
