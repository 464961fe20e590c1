#include "archive/path_rules.h"
#include "input/case_fold.h"

namespace {

// A run of upper-case double-byte letters and where their lower-case forms
// start: lead, first and last trail byte, the lower form's trail byte.
struct CaseRange {
  unsigned char lead, first, last, lowerFirst;
};

constexpr CaseRange kDoubleByteCases[] = {
    {0x82, 0x60, 0x79, 0x81},  // full-width Ａ-Ｚ
    {0x83, 0x9F, 0xB6, 0xBF},  // Greek Α-Ω
    {0x84, 0x40, 0x4E, 0x70},  // Cyrillic А-Н (Ё included)
    {0x84, 0x4F, 0x60, 0x80},  // Cyrillic О-Я (the lower forms skip 7F)
};

unsigned char lowerTrail(unsigned char lead, unsigned char trail) {
  for (const CaseRange& range : kDoubleByteCases)
    if (lead == range.lead && trail >= range.first && trail <= range.last)
      return static_cast<unsigned char>(range.lowerFirst + (trail - range.first));
  return trail;
}

unsigned char lowerAscii(unsigned char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

}  // namespace

std::string caseFoldKey(std::string_view text) {
  const LeadByteSet& leads = systemLeadBytes();
  std::string key(text);
  for (size_t i = 0; i < key.size(); ++i) {
    auto byte = static_cast<unsigned char>(key[i]);
    if (leads.contains(byte) && i + 1 < key.size()) {
      ++i;
      key[i] = static_cast<char>(lowerTrail(byte, static_cast<unsigned char>(key[i])));
    } else {
      key[i] = static_cast<char>(lowerAscii(byte));
    }
  }
  return key;
}
