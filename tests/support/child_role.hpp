#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

// A part of a test run as a process of its own, for what only separate
// processes show (two copies of the program at once). The test executable
// started through child_role_command runs the role, in the environment it was
// given, instead of the tests. Define one at namespace scope.
class child_role {
 public:
  // run gets the arguments after the role's name; its result is the exit code.
  child_role(const std::string& name, std::function<int(const std::vector<std::string>&)> run);
};

// The command line that starts this executable in the role name.
std::vector<std::string> child_role_command(const std::string& name,
                                            const std::vector<std::string>& arguments);

// The exit code of the role argv names, nullopt when it names none: for main.
std::optional<int> run_child_role(int argc, char** argv);

}  // namespace test_support
