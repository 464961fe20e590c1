// The names a new entry is stored under: the name field in the system code
// page, and the file's real name in UTF-8 for the Unicode Path field
// (0x7075), which 7-Zip, libarchive and others show.
#pragma once
#include <string>

#include "code_page.h"
#include "file_system.h"

namespace zip32 {

// The name an input path is stored under: its file-name part with
// junkPaths, else its path without drive and leading delimiters, with "/"
// between folders.
std::string entryName(const std::string& path, bool junkPaths, const CodePage& codePage);

struct EntryNames {
  std::string name;         // the name field, in the code page
  std::string unicodeName;  // the real name in UTF-8; empty when unknown
};

// The names of the input at path. Where the path spells the file otherwise
// than by its own name (a short name such as CAF_~CRT.TXT for café.txt,
// which the code page cannot spell), the entry takes the file's real name:
// in UTF-8 as it is, in the name field in its best code-page form (cafe.txt).
EntryNames entryNames(const std::string& path, bool junkPaths, FileSystem& fileSystem,
                      const CodePage& codePage);

}  // namespace zip32
