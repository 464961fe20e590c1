#include "fuzz_checks.h"
#include "pattern.h"

namespace zip32::fuzz {

std::string checkPattern(const std::uint8_t* data, std::size_t size) {
  static const ShiftJis shiftJis;
  std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t split = input.find('\0');
  std::string text = input.substr(0, split);
  std::string name = split == std::string::npos ? text : input.substr(split + 1);
  std::optional<Pattern> pattern = Pattern::compile(text, shiftJis);
  if (!pattern) return "";
  pattern->matches(name);
  if (!pattern->isWild() && !pattern->matches(pattern->literal()))
    return "a pattern without wildcards does not match its own literal";
  return "";
}

}  // namespace zip32::fuzz
