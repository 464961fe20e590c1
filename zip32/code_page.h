// The system code page as the archiver needs it: which bytes lead a
// double-byte character, and the UTF-8 form of a name and back.
#pragma once
#include <cstddef>
#include <string>

#include "shift_jis.h"

namespace zip32 {

class CodePage {
 public:
  virtual ~CodePage() = default;
  virtual bool isLeadByte(unsigned char byte) const = 0;
  // The UTF-8 form of text in this code page; empty when it cannot be converted.
  virtual std::string toUtf8(const std::string& text) const = 0;
  // The best form of UTF-8 text in this code page: each character as it is
  // where the code page has it, else its best fit, else "_" (which, unlike
  // "?", a file name may hold).
  virtual std::string fromUtf8(const std::string& utf8) const = 0;

  // Length in bytes of the character that starts at position i (1 or 2).
  std::size_t charLength(const std::string& text, std::size_t i) const {
    return isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  }
};

// Code page 932 (Shift-JIS) by its fixed lead-byte ranges, converting with
// the C library's iconv where the platform has it.
class ShiftJis : public CodePage {
 public:
  bool isLeadByte(unsigned char byte) const override { return isShiftJisLeadByte(byte); }
  std::string toUtf8(const std::string& text) const override;
  std::string fromUtf8(const std::string& utf8) const override;
};

// The code page the process runs under: Shift-JIS natively, the system's
// ANSI code page on Windows.
const CodePage& systemCodePage();

bool isAscii(const std::string& text);

// The last component of a path: the text after the last "\", "/" or ":"
// that is a character of its own (the archiver takes "/" as a delimiter
// too, unlike the program's own file-name rule).
std::string leafName(const std::string& path, const CodePage& codePage);
// The folder part, its delimiter included ("" when there is none).
std::string folderPart(const std::string& path, const CodePage& codePage);

// ASCII letters folded to lower case, trail bytes left alone.
std::string foldCase(const std::string& text, const CodePage& codePage);

// UTF-8 text with every letter in upper case as the system maps it (as
// Windows file systems compare names); empty when the text is not UTF-8.
std::string upperCaseUtf8(const std::string& utf8);

// Copies a message into a caller's buffer: cut at a character boundary,
// always zero-terminated within size, never past it.
void copyMessage(const std::string& message, char* buffer, std::size_t size,
                 const CodePage& codePage);

}  // namespace zip32
