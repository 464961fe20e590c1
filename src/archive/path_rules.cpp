#include "archive/path_rules.h"

#include "shift_jis.h"

void LeadByteSet::add(unsigned char first, unsigned char last) {
  for (unsigned b = first; b <= last; ++b) bits_.set(b);
}

LeadByteSet LeadByteSet::codePage932() {
  LeadByteSet set;
  for (unsigned b = 0; b < 256; ++b)
    if (isShiftJisLeadByte(static_cast<unsigned char>(b))) set.add(b, b);
  return set;
}

bool isTrailByte(std::string_view text, size_t index, const LeadByteSet& leads) {
  if (index >= text.size()) return false;
  size_t leadRun = 0;
  for (size_t i = index; i > 0 && leads.contains(static_cast<unsigned char>(text[i - 1])); --i)
    ++leadRun;
  return leadRun % 2 == 1;
}

size_t lastDelimiter(std::string_view text, std::string_view delimiters, const LeadByteSet& leads) {
  for (size_t i = text.size(); i > 0; --i) {
    if (delimiters.find(text[i - 1]) == std::string_view::npos) continue;
    if (!isTrailByte(text, i - 1, leads)) return i - 1;
    --i;  // a trail byte: pass over its lead byte too
  }
  return std::string_view::npos;
}

bool endsWithPathDelimiter(std::string_view text, const LeadByteSet& leads) {
  return !text.empty() && text.back() == '\\' && !isTrailByte(text, text.size() - 1, leads);
}

std::string withPathDelimiter(std::string_view folder, const LeadByteSet& leads) {
  std::string path(folder);
  if (!endsWithPathDelimiter(path, leads)) path += '\\';
  return path;
}

std::string fileNamePart(std::string_view path, const LeadByteSet& leads) {
  size_t at = lastDelimiter(path, "\\:", leads);
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string extensionOf(std::string_view path, const LeadByteSet& leads) {
  size_t at = lastDelimiter(path, ".\\:", leads);
  if (at == std::string_view::npos || path[at] != '.') return {};
  return std::string(path.substr(at));
}
