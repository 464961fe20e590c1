#include "command_line.h"
#include "fuzz_checks.h"

namespace zip32::fuzz {

std::string checkCommandLine(const std::uint8_t* data, std::size_t size) {
  ParsedCommandLine parsed =
      parseCommandLine(std::string(reinterpret_cast<const char*>(data), size));
  if (!parsed.ok) return parsed.error.empty() ? "a failed parse says nothing" : "";
  const CommandLine& line = parsed.commandLine;
  if (line.level < 0 || line.level > 9) return "a level outside 0 to 9";
  if (line.archive.empty() || line.inputs.empty()) return "no archive or no inputs";
  for (const std::string& input : line.inputs)
    if (input.empty()) return "an empty input";
  return "";
}

}  // namespace zip32::fuzz
