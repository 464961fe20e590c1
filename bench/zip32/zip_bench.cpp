// Benchmark driver for the ZIP engine.
//   bench_zip32 LEVEL OUTPUT_FOLDER FILE...
//     one archive per input file, as the program makes them; prints seconds.
//   bench_zip32 --deflate LEVEL THREADS FILE [BLOCK_KIB]
//     deflates the file in memory and drops the output: THREADS 0 is plain
//     single-threaded zlib, otherwise our block-parallel deflate on that many
//     threads (blocks of BLOCK_KIB, the engine's own size by default); prints
//     seconds and compressed bytes.
//   bench_zip32 --resolve FOLDER COUNT
//     resolves COUNT inputs named one by one (making the files in FOLDER
//     first), and compares their names pairwise as an earlier engine did,
//     each with every one before it; prints the seconds of both.
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine.h"
#include "parallel_deflate.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

int archiveEach(int level, const std::string& folder, char** files, int count) {
  zip32::NoProgress progress;
  auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    std::string input = files[i];
    std::string name = zip32::leafName(input, zip32::systemCodePage());
    zip32::ArchiveRequest request{level, true, folder + name + ".zip", {input}};
    zip32::Outcome outcome =
        zip32::makeArchive(request, zip32::systemFileSystem(), zip32::systemCodePage(), progress);
    if (outcome.code != zip32::ResultCode::Ok) {
      std::fprintf(stderr, "%s: %s\n", input.c_str(), outcome.message.c_str());
      return 1;
    }
  }
  std::printf("%.6f\n", secondsSince(start));
  return 0;
}

std::uint64_t deflateSingle(int level, zip32::FileReader& file) {
  z_stream stream{};
  deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::vector<unsigned char> input(256 * 1024), output(256 * 1024);
  std::uint64_t total = 0;
  uLong crc = crc32(0, nullptr, 0);
  for (;;) {
    std::size_t got = file.read(input.data(), input.size()).value_or(0);
    crc = crc32(crc, input.data(), static_cast<uInt>(got));
    stream.next_in = input.data();
    stream.avail_in = static_cast<uInt>(got);
    int result;
    do {
      stream.next_out = output.data();
      stream.avail_out = static_cast<uInt>(output.size());
      result = deflate(&stream, got == 0 ? Z_FINISH : Z_NO_FLUSH);
      total += output.size() - stream.avail_out;
    } while (stream.avail_out == 0 || (got == 0 && result != Z_STREAM_END));
    if (got == 0) break;
  }
  deflateEnd(&stream);
  return total;
}

std::uint64_t deflateParallel(int level, unsigned threads, std::size_t block,
                              zip32::FileReader& file) {
  auto read = [&](unsigned char* buffer, std::size_t size) {
    std::size_t filled = 0;
    while (filled < size) {
      std::size_t got = file.read(buffer + filled, size - filled).value_or(0);
      if (got == 0) break;
      filled += got;
    }
    return filled;
  };
  auto drop = [](const unsigned char*, std::size_t, std::size_t) { return true; };
  return zip32::ParallelDeflate(level, threads, block).run(read, drop).outputSize;
}

int deflateOnly(int level, unsigned threads, const char* path, std::size_t block) {
  std::unique_ptr<zip32::FileReader> file = zip32::systemFileSystem().openRead(path);
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", path);
    return 1;
  }
  auto start = Clock::now();
  std::uint64_t size =
      threads == 0 ? deflateSingle(level, *file) : deflateParallel(level, threads, block, *file);
  std::printf("%.6f %llu\n", secondsSince(start), static_cast<unsigned long long>(size));
  return 0;
}

int resolveMany(const std::string& folder, int count) {
  const zip32::CodePage& codePage = zip32::systemCodePage();
  zip32::ArchiveRequest request{6, true, folder + "/x.zip", {}};
  for (int i = 0; i < count; ++i) {
    std::string path = folder + "/input" + std::to_string(i) + ".txt";
    std::ofstream(path, std::ios::app).flush();
    request.patterns.push_back(path);
  }
  std::size_t resolved = 0;
  double ours = 1e9;
  for (int run = 0; run < 3; ++run) {  // the best of three: the files' metadata is cached then
    auto start = Clock::now();
    resolved = zip32::resolveInputs(request, zip32::systemFileSystem(), codePage).size();
    ours = std::min(ours, secondsSince(start));
  }
  auto start = Clock::now();
  std::vector<std::string> names;
  for (const std::string& path : request.patterns) {
    std::string key = zip32::foldCase(zip32::entryName(path, true, codePage), codePage);
    for (const std::string& other : names)
      if (zip32::foldCase(other, codePage) == key) return 1;
    names.push_back(zip32::entryName(path, true, codePage));
  }
  double pairwise = secondsSince(start);
  if (resolved != names.size()) return 1;
  std::printf("%.6f %.6f\n", ours, pairwise);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--resolve") == 0)
    return resolveMany(argv[2], std::atoi(argv[3]));
  if ((argc == 5 || argc == 6) && std::strcmp(argv[1], "--deflate") == 0) {
    std::size_t block = argc == 6 ? static_cast<std::size_t>(std::atoi(argv[5])) * 1024
                                  : zip32::ParallelDeflate::kDefaultBlock;
    return deflateOnly(std::atoi(argv[2]), static_cast<unsigned>(std::atoi(argv[3])), argv[4],
                       block);
  }
  if (argc >= 4 && argv[1][0] != '-')
    return archiveEach(std::atoi(argv[1]), std::string(argv[2]) + "/", argv + 3, argc - 3);
  std::fprintf(stderr,
               "usage: bench_zip32 LEVEL OUTPUT_FOLDER FILE...\n"
               "       bench_zip32 --deflate LEVEL THREADS FILE [BLOCK_KIB]\n"
               "       bench_zip32 --resolve FOLDER COUNT\n");
  return 2;
}
