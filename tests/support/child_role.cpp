#include "tests/support/child_role.hpp"

#include <filesystem>
#include <map>
#include <string_view>

namespace test_support {

namespace {

constexpr std::string_view role_option = "--child-role=";

using role_map = std::map<std::string, std::function<int(const std::vector<std::string>&)>>;

// Filled before main by the roles' static objects.
role_map& roles() {
  static role_map registered;
  return registered;
}

}  // namespace

child_role::child_role(const std::string& name,
                       std::function<int(const std::vector<std::string>&)> run) {
  roles().emplace(name, std::move(run));
}

std::vector<std::string> child_role_command(const std::string& name,
                                            const std::vector<std::string>& arguments) {
  // The link names whichever program reads it, so it is read here.
  std::vector<std::string> command{std::filesystem::read_symlink("/proc/self/exe").string(),
                                   std::string(role_option) + name};
  command.insert(command.end(), arguments.begin(), arguments.end());
  return command;
}

std::optional<int> run_child_role(int argc, char** argv) {
  if (argc < 2 || !std::string_view(argv[1]).starts_with(role_option)) {
    return std::nullopt;
  }
  const auto role = roles().find(std::string(std::string_view(argv[1]).substr(role_option.size())));
  if (role == roles().end()) {
    return 2;
  }
  return role->second(std::vector<std::string>(argv + 2, argv + argc));
}

}  // namespace test_support
