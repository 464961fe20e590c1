// Wildcard patterns over file names: "*" any run of characters, "?" one
// character, "[...]" one character of a set ("[!...]" or "[^...]" one not
// in it, "a-z" a range). "[[]" is a literal "[". Characters, not bytes:
// a trail byte of a double-byte character is never a wildcard.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "code_page.h"

namespace zip32 {

class Pattern {
 public:
  // Nullopt when a set is not closed.
  static std::optional<Pattern> compile(const std::string& text, const CodePage& codePage);

  bool matches(const std::string& name) const;
  // True when the pattern has "*", "?" or a set of more than one character.
  bool isWild() const { return wild_; }
  // The one name a pattern without wildcards matches.
  std::string literal() const;

 private:
  struct Range {
    std::string first, last;
  };
  struct Token {
    enum Kind { Char, AnyChar, AnyRun, Set } kind;
    std::string text;           // Char: the character
    std::vector<Range> ranges;  // Set: its members
    bool negated = false;
  };

  Pattern(std::vector<Token> tokens, const CodePage& codePage);
  bool matchChars(const std::vector<std::string>& chars) const;
  bool matchOne(const Token& token, const std::string& c) const;
  bool inSet(const Token& token, const std::string& c) const;

  std::vector<Token> tokens_;
  const CodePage* codePage_;
  bool wild_ = false;
};

// The characters of a text, each one or two bytes.
std::vector<std::string> splitChars(const std::string& text, const CodePage& codePage);

}  // namespace zip32
