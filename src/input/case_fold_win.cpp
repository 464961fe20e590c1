#include <windows.h>

#include "input/case_fold.h"

namespace {

std::wstring toWide(std::string_view text) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                   nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                      length);
  return wide;
}

constexpr DWORD kKeyFlags = LCMAP_SORTKEY | NORM_IGNORECASE;

}  // namespace

// The list box compares its strings as the locale's case-insensitive sort
// does; equal sort keys are exactly its equal strings (the Wine test checks
// this character by character against a real list box).
std::string caseFoldKey(std::string_view text) {
  std::wstring wide = toWide(text);
  if (wide.empty()) return {};
  int length = static_cast<int>(wide.size());
  int size = LCMapStringW(LOCALE_USER_DEFAULT, kKeyFlags, wide.data(), length, nullptr, 0);
  if (size <= 0) return std::string(text);  // no key: fall back to the bytes
  std::string key(static_cast<size_t>(size), '\0');
  // With LCMAP_SORTKEY the destination is a byte buffer sized in bytes.
  LCMapStringW(LOCALE_USER_DEFAULT, kKeyFlags, wide.data(), length,
               reinterpret_cast<LPWSTR>(key.data()), size);
  return key;
}
