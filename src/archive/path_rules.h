#pragma once
// The byte rules for paths held in the system code page (Shift-JIS on the
// systems we serve). A "\" (0x5C) or "[" (0x5B) byte can be the second byte
// of a double-byte character (表 is 95 5C, ー is 81 5B), so every search for
// a delimiter has to know which bytes are trail bytes.
#include <bitset>
#include <string>
#include <string_view>

class LeadByteSet {
 public:
  LeadByteSet() = default;
  void add(unsigned char first, unsigned char last);
  bool contains(unsigned char byte) const { return bits_[byte]; }
  bool empty() const { return bits_.none(); }
  bool operator==(const LeadByteSet& other) const { return bits_ == other.bits_; }
  bool operator!=(const LeadByteSet& other) const { return !(*this == other); }

  static LeadByteSet codePage932();  // the table of shift_jis.h

 private:
  std::bitset<256> bits_;
};

// The lead bytes of the system's ANSI code page: the system's own table on
// Windows, code page 932 in the native build.
const LeadByteSet& systemLeadBytes();

// True when the byte at index (0-based) is the second byte of a double-byte
// character: the run of lead bytes right before it has odd length. False
// for an index past the end.
bool isTrailByte(std::string_view text, size_t index, const LeadByteSet& leads = systemLeadBytes());

// Index of the last byte that is one of delimiters and not a trail byte, or
// npos when there is none.
size_t lastDelimiter(std::string_view text, std::string_view delimiters,
                     const LeadByteSet& leads = systemLeadBytes());

// True when text ends with a "\" that is a character of its own.
bool endsWithPathDelimiter(std::string_view text, const LeadByteSet& leads = systemLeadBytes());

// The folder with a "\" appended unless it ends in one, ready for a name.
std::string withPathDelimiter(std::string_view folder,
                              const LeadByteSet& leads = systemLeadBytes());

// The text after the last "\" or ":", or the whole path.
std::string fileNamePart(std::string_view path, const LeadByteSet& leads = systemLeadBytes());

// From the last "." of the file-name part to the end, or empty.
std::string extensionOf(std::string_view path, const LeadByteSet& leads = systemLeadBytes());
