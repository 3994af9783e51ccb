// lumbrel-service: the stand-in of the maker's web service, for local runs
// and tests. Prints the service base on its first line (and the feed address
// on the second when it serves a feed), then one line per completed package;
// refusals go to standard error. Stops on SIGINT or SIGTERM.
#include <signal.h>

#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>
#include <string_view>

#include "tools/service/web_service.hpp"

namespace {

constexpr const char* usage =
    "usage: lumbrel-service --data DIR [--port N] [--cert FILE --key FILE] [--feed DIR]\n"
    "  --data DIR   keep received entries, archives and thumbnails under DIR\n"
    "  --port N     listen on 127.0.0.1:N (0, the default: any free port)\n"
    "  --cert FILE  the server certificate chain (PEM), for HTTPS\n"
    "  --key FILE   its private key (PEM)\n"
    "  --feed DIR   serve the files of DIR under /content/, parvel.feed.xml among them\n";

struct arguments {
  service::web_service::options settings;
  bool help = false;
};

unsigned short port_number(const std::string& text) {
  std::size_t used = 0;
  const unsigned long value = std::stoul(text, &used);
  if (used != text.size() || value > 65535) {
    throw std::invalid_argument(text);
  }
  return static_cast<unsigned short>(value);
}

arguments parse(int argc, char** argv) {
  arguments parsed;
  auto& settings = parsed.settings;
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--help" || name == "-h") {
      parsed.help = true;
      return parsed;
    }
    if (i + 1 == argc) {
      throw std::invalid_argument("missing value of " + std::string(name));
    }
    const std::string value = argv[++i];
    if (name == "--port") {
      try {
        settings.http.port = port_number(value);
      } catch (const std::logic_error&) {
        throw std::invalid_argument("--port takes a number from 0 to 65535, not '" + value + "'");
      }
    } else if (name == "--cert") {
      settings.http.certificate_file = value;
    } else if (name == "--key") {
      settings.http.private_key_file = value;
    } else if (name == "--data") {
      settings.data_folder = value;
    } else if (name == "--feed") {
      settings.feed_folder = value;
    } else {
      throw std::invalid_argument("unknown option " + std::string(name));
    }
  }
  if (settings.data_folder.empty()) {
    throw std::invalid_argument("--data is required");
  }
  if (settings.http.certificate_file.empty() != settings.http.private_key_file.empty()) {
    throw std::invalid_argument("--cert and --key go together");
  }
  return parsed;
}

}  // namespace

int main(int argc, char** argv) {
  arguments parsed;
  try {
    parsed = parse(argc, argv);
  } catch (const std::invalid_argument& e) {
    std::cerr << "lumbrel-service: " << e.what() << "\n" << usage;
    return 2;
  }
  if (parsed.help) {
    std::cout << usage;
    return 0;
  }

  // Blocked before the serving thread starts, so that it inherits the mask
  // and the signals wait for sigwait here.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  std::mutex output;
  parsed.settings.on_package = [&output](const std::string& line) {
    const std::lock_guard lock(output);
    std::cout << line << std::endl;
  };
  parsed.settings.on_refusal = [&output](const std::string& line) {
    const std::lock_guard lock(output);
    std::cerr << line << std::endl;
  };
  try {
    const bool serves_feed = !parsed.settings.feed_folder.empty();
    service::web_service web(parsed.settings);
    {
      const std::lock_guard lock(output);
      std::cout << web.base_url() << "\n";
      if (serves_feed) {
        std::cout << web.feed_url() << "\n";
      }
      std::cout << std::flush;
    }
    int received = 0;
    sigwait(&stop_signals, &received);
    web.stop();
  } catch (const std::exception& e) {
    std::cerr << "lumbrel-service: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
