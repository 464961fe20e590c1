#include <windows.h>

#include "code_page.h"

namespace zip32 {

namespace {

std::string convertToUtf8(const std::string& text, UINT sourceCodePage) {
  if (text.empty()) return {};
  int wideLength = MultiByteToWideChar(sourceCodePage, MB_ERR_INVALID_CHARS, text.data(),
                                       static_cast<int>(text.size()), nullptr, 0);
  if (wideLength <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(sourceCodePage, MB_ERR_INVALID_CHARS, text.data(),
                      static_cast<int>(text.size()), wide.data(), wideLength);
  int utf8Length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (utf8Length <= 0) return {};
  std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr,
                      nullptr);
  return utf8;
}

// The system's best fit, "_" where it has none. A code page that has every
// character (UTF-8) takes no default character.
std::string convertFromUtf8(const std::string& utf8, UINT targetCodePage) {
  if (utf8.empty()) return {};
  int wideLength =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (wideLength <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                      wideLength);
  const char* fallback = "_";
  int length = WideCharToMultiByte(targetCodePage, 0, wide.data(), wideLength, nullptr, 0, fallback,
                                   nullptr);
  if (length <= 0) {
    fallback = nullptr;
    length = WideCharToMultiByte(targetCodePage, 0, wide.data(), wideLength, nullptr, 0, nullptr,
                                 nullptr);
  }
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(targetCodePage, 0, wide.data(), wideLength, text.data(), length, fallback,
                      nullptr);
  return text;
}

class AnsiCodePage : public CodePage {
 public:
  bool isLeadByte(unsigned char byte) const override { return IsDBCSLeadByte(byte) != FALSE; }
  std::string toUtf8(const std::string& text) const override { return convertToUtf8(text, CP_ACP); }
  std::string fromUtf8(const std::string& utf8) const override {
    return convertFromUtf8(utf8, CP_ACP);
  }
};

}  // namespace

std::string upperCaseUtf8(const std::string& utf8) {
  if (utf8.empty()) return {};
  int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                       static_cast<int>(utf8.size()), nullptr, 0);
  if (wideLength <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                      wide.data(), wideLength);
  // Upper case maps each UTF-16 unit to one, as file systems compare names.
  std::wstring wideUpper(wide.size(), L'\0');
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), wideLength, wideUpper.data(),
                   wideLength) != wideLength)
    return {};
  int length =
      WideCharToMultiByte(CP_UTF8, 0, wideUpper.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string upper(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wideUpper.data(), wideLength, upper.data(), length, nullptr,
                      nullptr);
  return upper;
}

std::string ShiftJis::toUtf8(const std::string& text) const {
  return convertToUtf8(text, 932);
}

std::string ShiftJis::fromUtf8(const std::string& utf8) const {
  return convertFromUtf8(utf8, 932);
}

const CodePage& systemCodePage() {
  static const AnsiCodePage codePage;
  return codePage;
}

}  // namespace zip32
