#include <stdlib.h>

#include <QApplication>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/child_role.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/widget_test.hpp"

namespace test_support {

namespace {

std::map<std::string, widget_test_factory>& registered_tests() {
  static std::map<std::string, widget_test_factory> tests;
  return tests;
}

}  // namespace

bool register_widget_test(const char* name, widget_test_factory factory) {
  registered_tests().emplace(name, std::move(factory));
  return true;
}

}  // namespace test_support

// ui_widgets [class [Qt Test options...]]: runs one registered class,
// or every class when none is named. Like the GoogleTest main, every process
// gets its own configuration, data and temporary folders; a child role keeps
// those of the test that started it.
int main(int argc, char** argv) {
  if (const std::optional<int> code = test_support::run_child_role(argc, argv))
    return *code;
  const test_support::temp_folder home;
  for (const char* name :
       {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS", "TMPDIR", "XDG_RUNTIME_DIR"}) {
    const std::filesystem::path folder = home.path() / name;
    std::filesystem::create_directories(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    ::setenv(name, folder.c_str(), 1);
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

  QApplication application(argc, argv);
  const auto& tests = test_support::registered_tests();
  // Without Qt Test's crash handler a crash ends the process at once, with
  // the sanitizer's stack where there is one. The handler forks a debugger
  // from the crashed thread, which hangs until the time-out when that thread
  // holds the allocator's lock.
  char no_crash_handler[] = "-nocrashhandler";
  std::vector<char*> qtest_args{argv[0], no_crash_handler};
  std::string only;
  if (argc > 1 && argv[1][0] != '-') {
    only = argv[1];
    if (!tests.contains(only)) {
      fprintf(stderr, "no widget test named %s\n", only.c_str());
      return 2;
    }
  }
  for (int i = only.empty() ? 1 : 2; i < argc; ++i)
    qtest_args.push_back(argv[i]);

  int failures = 0;
  for (const auto& [name, make] : tests) {
    if (!only.empty() && name != only)
      continue;
    const auto test = make();
    failures += QTest::qExec(test.get(), static_cast<int>(qtest_args.size()), qtest_args.data());
  }
  return failures == 0 ? 0 : 1;
}
