#include "entry_name.h"

#include <vector>

namespace zip32 {

namespace {

bool isDelimiter(char c) {
  return c == '\\' || c == '/';
}

// UTF-8 cut as a code page without lead bytes: no byte of a character
// beyond ASCII is a delimiter.
class Utf8Text final : public CodePage {
 public:
  bool isLeadByte(unsigned char) const override { return false; }
  std::string toUtf8(const std::string& text) const override { return text; }
  std::string fromUtf8(const std::string& utf8) const override { return utf8; }
};

std::string lowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

std::string entryName(const std::string& path, bool junkPaths, const CodePage& codePage) {
  if (junkPaths) return leafName(path, codePage);
  std::vector<std::string> parts;
  std::string part;
  std::size_t start = path.size() >= 2 && path[1] == ':' ? 2 : 0;
  auto endPart = [&] {
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (std::size_t i = start; i < path.size();) {
    std::size_t length = codePage.charLength(path, i);
    if (length == 1 && isDelimiter(path[i])) {
      endPart();
    } else {
      part += path.substr(i, length);
    }
    i += length;
  }
  endPart();
  std::string name;
  for (const std::string& p : parts) name += (name.empty() ? "" : "/") + p;
  return name;
}

// Short names carry a "~" (CAFE~1.TXT, CAF_~CRT.TXT), so only a path with
// one is looked up (a look-up can cost a search of each folder). A name
// given in another letter case is the file's name all the same.
EntryNames entryNames(const std::string& path, bool junkPaths, FileSystem& fileSystem,
                      const CodePage& codePage) {
  EntryNames names{entryName(path, junkPaths, codePage), ""};
  names.unicodeName = codePage.toUtf8(names.name);
  if (path.find('~') == std::string::npos) return names;
  if (std::optional<std::string> real = fileSystem.trueName(path)) {
    std::string realName = entryName(*real, junkPaths, Utf8Text());
    if (!realName.empty() && lowerAscii(realName) != lowerAscii(names.unicodeName))
      names = {codePage.fromUtf8(realName), realName};
  }
  return names;
}

}  // namespace zip32
