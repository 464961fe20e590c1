#include "code_page.h"

#include <cstring>

namespace zip32 {

namespace {

bool isDelimiter(char c) {
  return c == '\\' || c == '/' || c == ':';
}

// Position just after the last delimiter that is a character of its own.
std::size_t nameStart(const std::string& path, const CodePage& codePage) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); i += codePage.charLength(path, i)) {
    if (isDelimiter(path[i])) start = i + 1;
  }
  return start;
}

}  // namespace

bool isAscii(const std::string& text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

std::string leafName(const std::string& path, const CodePage& codePage) {
  return path.substr(nameStart(path, codePage));
}

std::string folderPart(const std::string& path, const CodePage& codePage) {
  return path.substr(0, nameStart(path, codePage));
}

std::string foldCase(const std::string& text, const CodePage& codePage) {
  std::string folded = text;
  for (std::size_t i = 0; i < folded.size();) {
    std::size_t length = codePage.charLength(folded, i);
    if (length == 1 && folded[i] >= 'A' && folded[i] <= 'Z')
      folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
    i += length;
  }
  return folded;
}

void copyMessage(const std::string& message, char* buffer, std::size_t size,
                 const CodePage& codePage) {
  if (!buffer || size == 0) return;
  std::size_t length = 0;
  while (length < message.size()) {
    std::size_t next = length + codePage.charLength(message, length);
    if (next > size - 1) break;
    length = next;
  }
  std::memcpy(buffer, message.data(), length);
  buffer[length] = '\0';
}

}  // namespace zip32
