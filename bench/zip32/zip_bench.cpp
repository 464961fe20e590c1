// Makes one archive per input file, as the program does, and prints the
// seconds taken.   bench_zip32 LEVEL OUTPUT_FOLDER FILE...
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bench_zip32 LEVEL OUTPUT_FOLDER FILE...\n");
    return 2;
  }
  int level = std::atoi(argv[1]);
  std::string folder = std::string(argv[2]) + "/";
  zip32::NoProgress progress;
  auto start = std::chrono::steady_clock::now();
  for (int i = 3; i < argc; ++i) {
    std::string input = argv[i];
    std::string name = zip32::fileNamePart(input, zip32::systemCodePage());
    zip32::ArchiveRequest request{level, true, folder + name + ".zip", {input}};
    zip32::Outcome outcome = zip32::makeArchive(request, zip32::systemFileSystem(), zip32::systemCodePage(), progress);
    if (outcome.code != zip32::ResultCode::Ok) {
      std::fprintf(stderr, "%s: %s\n", input.c_str(), outcome.message.c_str());
      return 1;
    }
  }
  std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::printf("%.6f\n", seconds.count());
  return 0;
}
