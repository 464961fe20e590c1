// zip32-pack: our engine on the build machine, for packing the release.
//   zip32-pack LEVEL ARCHIVE FILE...   (each file stored under its name)
#include <cstdio>
#include <cstdlib>

#include "engine.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: zip32-pack LEVEL ARCHIVE FILE...\n");
    return 2;
  }
  zip32::ArchiveRequest request;
  request.level = std::atoi(argv[1]);
  request.junkPaths = true;
  request.archive = argv[2];
  for (int i = 3; i < argc; ++i) request.patterns.push_back(argv[i]);
  zip32::NoProgress progress;
  zip32::Outcome outcome =
      zip32::makeArchive(request, zip32::systemFileSystem(), zip32::systemCodePage(), progress);
  if (outcome.code != zip32::ResultCode::Ok) {
    std::fprintf(stderr, "zip32-pack: %s\n", outcome.message.c_str());
    return static_cast<int>(outcome.code);
  }
  return 0;
}
