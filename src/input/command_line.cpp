#include "input/command_line.h"

#include "input/long_path.h"
#include "input/spelled_path.h"

namespace {

bool isSeparator(char c) {
  auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

bool isArgumentByte(char c) {
  return static_cast<unsigned char>(c) > 32;
}

size_t skipToArgument(std::string_view line, size_t at) {
  for (;;) {
    while (at < line.size() && isSeparator(line[at])) ++at;
    if (line.substr(at, 2) != "\"\"") return at;
    at += 2;
  }
}

std::string readArgument(std::string_view line, size_t& at) {
  std::string argument;
  while (at < line.size() && isArgumentByte(line[at])) {
    if (line[at] != '"') {
      argument += line[at++];
      continue;
    }
    size_t close = line.find('"', at + 1);
    size_t end = close == std::string_view::npos ? line.size() : close;
    argument.append(line.substr(at + 1, end - at - 1));
    at = close == std::string_view::npos ? end : close + 1;
  }
  return argument;
}

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view commandLine) {
  // A zero byte ends the line, as it ends the system's text.
  commandLine = commandLine.substr(0, commandLine.find('\0'));
  std::vector<std::string> arguments;
  size_t at = 0;
  for (bool programPath = true;; programPath = false) {
    at = skipToArgument(commandLine, at);
    std::string argument = readArgument(commandLine, at);
    if (argument.empty()) break;
    if (!programPath) arguments.push_back(std::move(argument));
  }
  return arguments;
}

// The split works on UTF-8 as on the code page: the separators and the
// quote are ASCII bytes, which neither uses inside a character.
void addCommandLineArguments(std::string_view utf8CommandLine, FileSystem& files,
                             const PathHandler& addFile, const PathHandler& addFolder,
                             const RefusalHandler& refuse) {
  for (const std::string& written : splitCommandLine(utf8CommandLine)) {
    SpelledPath spelled = spellPath(written, files);
    if (!spelled.refusal.empty()) {
      refuse(spelled.item, spelled.refusal);
      continue;
    }
    const std::string& argument = spelled.item;
    FileAttributes attributes = files.attributesOf(argument);
    std::string expanded = ExpandLongPath(argument, files);
    if (countsAsFolder(attributes))
      addFolder(expanded);
    else
      addFile(expanded);
  }
}
