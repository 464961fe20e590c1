#pragma once
// The program's command line: its arguments, and what each one becomes in
// the input list.
#include <string>
#include <string_view>
#include <vector>

#include "input/folder_walk.h"
#include "os/file_system.h"

// The arguments of a process command line, the program's own path skipped.
// Bytes 1 to 32 separate arguments, and "" standing where an argument would
// begin is skipped. Within an argument a double quote opens a stretch, blanks
// included, up to the next double quote or the end; the quotes are dropped
// and quoted and unquoted text join. An empty argument ends the list. An
// argument may be of any length.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// For each argument of the command line in UTF-8, first to last: its
// code-page path (spellPath), its attribute value as written, then its long
// form (ExpandLongPath); a folder (value exactly 16) goes to addFolder,
// anything else, a path that does not exist included, to addFile. An
// argument that no code-page path reaches goes to refuse.
void addCommandLineArguments(std::string_view utf8CommandLine, FileSystem& files,
                             const PathHandler& addFile, const PathHandler& addFolder,
                             const RefusalHandler& refuse);
