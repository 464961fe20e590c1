#include "input/long_path.h"

#include "archive/path_rules.h"
#include "input/spelled_path.h"

namespace {

bool isDrivePrefix(const std::string& path) {
  auto letter = static_cast<unsigned char>(path.empty() ? 0 : path[0]);
  bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
  return path.size() >= 2 && isLetter && path[1] == ':';
}

bool isShare(const std::string& path) {
  return path.compare(0, 2, "\\\\") == 0;
}

bool isFullyQualified(const std::string& path) {
  return (isDrivePrefix(path) && path.size() >= 3 && path[2] == '\\') || isShare(path);
}

// "C:", "\\server" or "\\server\share": what is left when every component
// has been walked. The two leading backslashes of a share are at 0 and 1.
bool isRootPrefix(const std::string& front) {
  if (isDrivePrefix(front)) return front.size() == 2;
  if (!isShare(front)) return false;
  size_t last = lastDelimiter(front, "\\");
  return last == 1 || lastDelimiter(std::string_view(front).substr(0, last), "\\") == 1;
}

}  // namespace

std::string ExpandLongPath(const std::string& path, FileSystem& files) {
  // A "/" byte is never the second byte of a double-byte character.
  bool relative = !isFullyQualified(path) || path.find('/') != std::string::npos;
  std::string front = relative ? files.fullPathOf(path) : path;
  std::string tail;
  while (!isRootPrefix(front)) {
    size_t cut = lastDelimiter(front, "\\");
    if (cut == std::string::npos) break;
    FileEntry entry;
    if (!files.search(front)->next(entry)) break;
    const std::string& name = reachableName(entry);
    if (name.empty()) break;
    tail = "\\" + name + tail;
    front.resize(cut);
  }
  return front + tail;
}
