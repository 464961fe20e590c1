// The ZIP engine: makes or updates one archive from input patterns,
// through a temporary file that replaces the archive only when complete
// and checked.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "code_page.h"
#include "entry_name.h"
#include "file_system.h"
#include "result.h"

namespace zip32 {

struct ArchiveRequest {
  int level = 6;           // 0 stores, 1 to 9 deflate
  bool junkPaths = false;  // store the file-name part only
  std::string archive;
  std::vector<std::string> patterns;
};

// Told how far the work is; returns false to cancel.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual bool onProgress(const std::string& name, std::uint64_t done, std::uint64_t total) = 0;
};

class NoProgress : public Progress {
 public:
  bool onProgress(const std::string&, std::uint64_t, std::uint64_t) override { return true; }
};

Outcome makeArchive(const ArchiveRequest& request, FileSystem& fileSystem, const CodePage& codePage,
                    Progress& progress);

// A source file and the names it is stored under.
struct Source {
  std::string path;
  std::string name;  // the name field, in the code page
  FileInfo info;
  std::string unicodeName;  // the real name in UTF-8, for the Unicode Path field
};

// Expands the patterns into files; throws ZipError for a pattern that
// matches nothing, an unreadable input or two files of one name.
std::vector<Source> resolveInputs(const ArchiveRequest& request, FileSystem& fileSystem,
                                  const CodePage& codePage);

// DOS date (high half) and time (low half) of a local time, clamped to 1980-2107.
std::uint32_t dosDateTime(const LocalTime& time);

}  // namespace zip32
