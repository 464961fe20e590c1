// The archiver's command line: switches, then the archive, then the inputs.
//   -0 .. -9   compression level (0 stores)       -q  no progress window
//   -j         store each file under its file-name part only
// Blank-separated tokens; a double-quoted part keeps its blanks and is never
// taken for a switch.
#pragma once
#include <string>
#include <vector>

namespace zip32 {

struct CommandLine {
  int level = 6;
  bool quiet = false;
  bool junkPaths = false;
  std::string archive;
  std::vector<std::string> inputs;
};

struct ParsedCommandLine {
  bool ok = false;
  std::string error;  // what is wrong, when not ok
  CommandLine commandLine;
};

ParsedCommandLine parseCommandLine(const std::string& text);

}  // namespace zip32
