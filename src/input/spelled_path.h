#pragma once
// Items for names that the system gives in Unicode (a drop, the file
// dialog, the folder browser, the command line) or that a listing finds.
// The input list and the archiver speak the system code page, which cannot
// spell every name (é, 简, 한 or 😀 on a Japanese system), and its best fit
// may name nothing or another file (café.txt becomes cafe.txt). Such a
// component is taken by its short (8.3) name, which the ANSI functions
// open; where the volume keeps none, the item is refused with the reason.
#include <string>

#include "os/file_system.h"

struct SpelledPath {
  std::string item;     // the code-page path; when refused, its best fit
  std::string refusal;  // why no code-page path reaches it; empty when item does
};

// The code-page path of a UTF-8 path: the path itself where the code page
// spells it exactly, else each component that it cannot spell replaced by
// that component's short name.
SpelledPath spellPath(const std::string& utf8Path, FileSystem& files);

// The name by which a code-page path reaches a listed entry: its long name
// where exact, else its short name; empty when it has neither.
const std::string& reachableName(const FileEntry& entry);

// The reasons for a refusal, as the status bar shows them.
extern const char kNoShortName[];         // it exists, but has no short name
extern const char kUnspellableMissing[];  // it does not exist
