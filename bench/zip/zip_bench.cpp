// zip_bench MODE ARCHIVE FILE...: packs the files the way a send does.
//   append   through append_stream: deflate, given up for files that do not shrink
//   stored   every entry stored from the start: the same reading, CRC and writing
//            without the deflate attempt, so append - stored is the give-up rule's cost
//   deflate  only deflates each file into nothing: the first pass of the rule alone
// zip_bench measure COMMAND...: runs the command and prints its wall-clock
// seconds and peak resident memory in KiB. Spawned from this small process,
// the child's peak is its own, not an interpreter's.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include <boost/iostreams/filter/zlib.hpp>

#include "core/io/archivers/detail/zip_file_sink_impl.hpp"
#include "core/io/archivers/zip_compress.hpp"

namespace {

namespace archivers = core::io::archivers;

struct null_sink {
  using char_type = char;
  using category = boost::iostreams::sink_tag;
  std::streamsize write(const char*, std::streamsize count) { return count; }
};

void deflate_only(std::istream& in) {
  boost::iostreams::zlib_params params;
  params.noheader = true;
  boost::iostreams::zlib_compressor deflate(params);
  null_sink sink;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    deflate.write(sink, buffer, in.gcount());
  }
  deflate.close(sink, std::ios_base::out);
}

void append_stored(const std::string& path, std::istream& in, archivers::zip_compress& archive) {
  in.seekg(0, std::ios_base::end);
  archivers::zip_entry entry;
  entry.name = path.substr(path.find_last_of('/') + 1);
  entry.size = static_cast<std::uint64_t>(static_cast<std::streamoff>(in.tellg()));
  entry.method = 0;
  in.seekg(0);
  auto& sink = archive.impl();
  sink.start_entry(entry);
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    sink.write(buffer, in.gcount());
  }
  sink.finish_entry();
}

int measure(char** command) {
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (::posix_spawnp(&child, command[0], nullptr, nullptr, command, environ) != 0) {
    std::perror("zip_bench: spawn");
    return 1;
  }
  int status = 0;
  rusage usage{};
  if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "zip_bench: %s failed\n", command[0]);
    return 1;
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("%.3f %ld\n", elapsed.count(), usage.ru_maxrss);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: zip_bench append|stored|deflate ARCHIVE FILE...\n"
                 "       zip_bench measure COMMAND...\n");
    return 2;
  }
  const std::string mode = argv[1];
  if (mode == "measure") {
    return measure(argv + 2);
  }
  try {
    archivers::zip_compress archive(argv[2]);
    for (int i = 3; i < argc; ++i) {
      std::ifstream in(argv[i], std::ios::binary);
      if (mode == "append") {
        archivers::append_stream(argv[i], in, archive);
      } else if (mode == "stored") {
        append_stored(argv[i], in, archive);
      } else {
        deflate_only(in);
      }
    }
    archive.close();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zip_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
