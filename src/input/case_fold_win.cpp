#include <windows.h>

#include "input/case_fold.h"

// The characters of the text as the system maps them to upper case, as
// UTF-16 code units. Bytes that form no character map to the system's
// default character, as they do when the list box converts its strings.
std::string caseFoldKey(std::string_view text) {
  if (text.empty()) return {};
  thread_local std::wstring wide;
  wide.resize(text.size());  // one byte gives at most one code unit
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                   wide.data(), static_cast<int>(wide.size()));
  if (length <= 0) return std::string(text);
  CharUpperBuffW(wide.data(), static_cast<DWORD>(length));
  return std::string(reinterpret_cast<const char*>(wide.data()),
                     static_cast<size_t>(length) * sizeof(wchar_t));
}
