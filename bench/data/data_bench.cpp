// data_bench: the settings, the user's config file and the photo set at the
// sizes of a long-used installation. Every file lives in a fresh folder under
// $TMPDIR (default /var/tmp), pointed at through the XDG variables.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/app/application_settings.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user_config.hpp"

namespace {

namespace fs = std::filesystem;

const fs::path& work_folder() {
  static const fs::path folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp && *tmp ? tmp : "/var/tmp") + "/lumbrel-data-bench.XXXXXX";
    if (!::mkdtemp(pattern.data())) {
      std::abort();
    }
    ::setenv("XDG_CONFIG_HOME", (pattern + "/config").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (pattern + "/system").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (pattern + "/data").c_str(), 1);
    return fs::path(pattern);
  }();
  return folder;
}

void write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// The settings file with the program's values last, behind `lines` others.
void settings_load(benchmark::State& state) {
  std::string text;
  for (int64_t i = 0; i < state.range(0); ++i) {
    text += "Option" + std::to_string(i) + "=value " + std::to_string(i) + "\n";
  }
  text += "Fullscreen=1\nVersion=1.2.3.4\nCulture=de-DE\n";
  write(work_folder() / "config/Lumbrel Send Photo/settings", text);
  for (auto _ : state) {
    parvel::application_settings settings("Lumbrel Send Photo");
    settings.load();
    benchmark::DoNotOptimize(settings.culture);
  }
  state.counters["lines"] = static_cast<double>(state.range(0));
}
BENCHMARK(settings_load)->Arg(4000)->Arg(40000)->Unit(benchmark::kMillisecond);

// Contacts stored in descending order, the worst case for a sort.
void config_load(benchmark::State& state) {
  parvel::user_config record;
  record.email = "me@x.example";
  for (int64_t i = state.range(0); i > 0; --i) {
    record.contacts.push_back("contact" + std::to_string(i) + "@x.example");
  }
  parvel::save_config(record);
  for (auto _ : state) {
    benchmark::DoNotOptimize(parvel::user_config::load());
  }
  state.counters["contacts"] = static_cast<double>(state.range(0));
}
BENCHMARK(config_load)->Arg(800)->Arg(8000)->Unit(benchmark::kMillisecond);

std::vector<parvel::photo_entry> photo_files(int64_t count) {
  const fs::path folder = work_folder() / ("photos" + std::to_string(count));
  std::vector<parvel::photo_entry> entries;
  const bool made = fs::exists(folder);
  for (int64_t i = 0; i < count; ++i) {
    const fs::path file = folder / ("IMG_" + std::to_string(i) + ".jpg");
    if (!made) {
      write(file, "jpeg");
    }
    entries.push_back(parvel::photo_entry{file.string()});
  }
  return entries;
}

// One batch of new photos into an empty set.
void add_photos(benchmark::State& state) {
  const auto entries = photo_files(state.range(0));
  for (auto _ : state) {
    parvel::package_info set;
    set.add_entries(entries);
    benchmark::DoNotOptimize(set.photo_count());
  }
  state.counters["photos"] = static_cast<double>(state.range(0));
}
BENCHMARK(add_photos)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// What the photo list reads after each change: every row's path and size.
void list_rows(benchmark::State& state) {
  parvel::package_info set;
  set.add_entries(photo_files(state.range(0)));
  for (auto _ : state) {
    std::uint64_t total = 0;
    for (const parvel::photo_entry& row : set.photos_with_sizes()) {
      total += row.size + row.path.size();
    }
    benchmark::DoNotOptimize(total);
  }
  state.counters["photos"] = static_cast<double>(state.range(0));
}
BENCHMARK(list_rows)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  work_folder();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(work_folder());
  return 0;
}
