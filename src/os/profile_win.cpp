#include <windows.h>

#include <algorithm>
#include <cstring>

#include "os/profile.h"

std::string PrivateProfileFile::readText(const std::string& section, const std::string& key,
                                         const std::string& fallback) const {
  std::string buffer(profileBufferSize, '\0');
  DWORD length =
      GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                               static_cast<DWORD>(buffer.size()), path_.c_str());
  // When the buffer cuts a double-byte character, the count can take in the
  // terminating NUL that replaced it: the text ends at the first NUL.
  buffer.resize(std::min<std::size_t>(length, std::strlen(buffer.c_str())));
  return buffer;
}

bool PrivateProfileFile::writeText(const std::string& section, const std::string& key,
                                   const std::string& text) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), text.c_str(), path_.c_str()) !=
         FALSE;
}
