#include "name_key.h"

#include <zlib.h>

#include <algorithm>
#include <optional>

namespace zip32 {

namespace {

constexpr std::uint16_t kUtf8Flag = 0x800;
constexpr std::uint16_t kUnicodePathTag = 0x7075;
// Marks the key of bytes that are no text: they match only the same bytes.
constexpr char kRawBytes = '\xFF';

std::string keyOfUtf8(const std::string& utf8) {
  std::string key = upperCaseUtf8(utf8);
  if (key.empty() && !utf8.empty()) return kRawBytes + utf8;
  std::replace(key.begin(), key.end(), '\\', '/');
  return key;
}

unsigned number(const std::string& bytes, std::size_t at, std::size_t size) {
  unsigned value = 0;
  for (std::size_t i = size; i-- > 0;)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// The UTF-8 name of a Unicode Path field (version 1) whose CRC is that of
// the name field: a field left from before a rename names another file.
std::optional<std::string> unicodePath(const Entry& entry) {
  const std::string& extra = entry.centralExtra;
  for (std::size_t at = 0; at + 4 <= extra.size();) {
    unsigned tag = number(extra, at, 2), size = number(extra, at + 2, 2);
    if (size > extra.size() - at - 4) break;
    if (tag == kUnicodePathTag && size >= 5 && extra[at + 4] == 1) {
      uLong crc = crc32(0, reinterpret_cast<const Bytef*>(entry.name.data()),
                        static_cast<uInt>(entry.name.size()));
      if (number(extra, at + 5, 4) == crc) return extra.substr(at + 9, size - 5);
    }
    at += 4 + size;
  }
  return std::nullopt;
}

}  // namespace

std::string nameKey(const std::string& name, const CodePage& codePage) {
  if (isAscii(name)) return keyOfUtf8(name);
  std::string utf8 = codePage.toUtf8(name);
  return utf8.empty() ? kRawBytes + name : keyOfUtf8(utf8);
}

std::string nameKeyOfUtf8(const std::string& utf8) {
  return keyOfUtf8(utf8);
}

std::string nameKey(const Entry& entry, const CodePage& codePage) {
  if ((entry.flags & kUtf8Flag) != 0) return keyOfUtf8(entry.name);
  if (std::optional<std::string> path = unicodePath(entry)) return keyOfUtf8(*path);
  return nameKey(entry.name, codePage);
}

}  // namespace zip32
