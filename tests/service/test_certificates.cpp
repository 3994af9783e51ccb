#include "tests/service/test_certificates.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace test_support {

namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs openssl with arguments, its output kept in the folder's log.
void openssl(const std::string& folder, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "openssl");
  std::vector<char*> argv;
  for (auto& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  const std::string log = folder + "/openssl.log";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, "openssl", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    throw std::runtime_error("openssl " + arguments.at(1) + " failed: " + read_file(log));
  }
}

}  // namespace

test_certificates::test_certificates(const std::string& alt_names) {
  std::string pattern = (std::filesystem::temp_directory_path() / "lumbrel-tls-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary folder");
  }
  folder_ = pattern;
  const std::string ec_key[] = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1"};
  openssl(folder_, {"req",     "-x509",
                    "-new",    ec_key[0],
                    ec_key[1], ec_key[2],
                    ec_key[3], "-nodes",
                    "-keyout", folder_ + "/ca.key",
                    "-out",    ca_file(),
                    "-days",   "2",
                    "-subj",   "/CN=Lumbrel Test CA",
                    "-addext", "basicConstraints=critical,CA:TRUE",
                    "-addext", "keyUsage=critical,keyCertSign,cRLSign"});
  openssl(folder_,
          {"req", "-new", ec_key[0], ec_key[1], ec_key[2], ec_key[3], "-nodes", "-keyout",
           key_file(), "-out", folder_ + "/server.csr", "-subj", "/CN=Lumbrel Test Server"});
  std::ofstream(folder_ + "/server.ext") << "subjectAltName=" << alt_names
                                         << "\nbasicConstraints=CA:FALSE"
                                            "\nkeyUsage=critical,digitalSignature"
                                            "\nextendedKeyUsage=serverAuth\n";
  openssl(folder_, {"x509", "-req", "-in", folder_ + "/server.csr", "-CA", ca_file(), "-CAkey",
                    folder_ + "/ca.key", "-CAcreateserial", "-out", certificate_file(), "-days",
                    "2", "-extfile", folder_ + "/server.ext"});
}

test_certificates::~test_certificates() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

}  // namespace test_support
