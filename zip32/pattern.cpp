#include "pattern.h"

namespace zip32 {

namespace {

// Characters compare without regard to ASCII letter case, as Windows file names do.
std::string foldChar(const std::string& c) {
  if (c.size() == 1 && c[0] >= 'A' && c[0] <= 'Z')
    return std::string(1, static_cast<char>(c[0] - 'A' + 'a'));
  return c;
}

// Orders characters by their code: a double-byte character after every single byte.
unsigned codeOf(const std::string& c) {
  unsigned code = 0;
  for (unsigned char byte : c) code = code << 8 | byte;
  return code;
}

}  // namespace

std::vector<std::string> splitChars(const std::string& text, const CodePage& codePage) {
  std::vector<std::string> chars;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = codePage.charLength(text, i);
    chars.push_back(text.substr(i, length));
    i += length;
  }
  return chars;
}

std::optional<Pattern> Pattern::compile(const std::string& text, const CodePage& codePage) {
  std::vector<std::string> chars = splitChars(text, codePage);
  std::vector<Token> tokens;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const std::string& c = chars[i];
    if (c == "*") {
      if (tokens.empty() || tokens.back().kind != Token::AnyRun)
        tokens.push_back({Token::AnyRun, {}, {}});
    } else if (c == "?") {
      tokens.push_back({Token::AnyChar, {}, {}});
    } else if (c == "[") {
      Token set{Token::Set, {}, {}};
      std::size_t j = i + 1;
      if (j < chars.size() && (chars[j] == "!" || chars[j] == "^")) {
        set.negated = true;
        ++j;
      }
      // A "]" right after the opening bracket is a member, not the end.
      bool first = true;
      for (; j < chars.size() && (first || chars[j] != "]"); ++j, first = false) {
        if (j + 2 < chars.size() && chars[j + 1] == "-" && chars[j + 2] != "]") {
          set.ranges.push_back({foldChar(chars[j]), foldChar(chars[j + 2])});
          j += 2;
        } else {
          set.ranges.push_back({foldChar(chars[j]), foldChar(chars[j])});
        }
      }
      if (j >= chars.size()) return std::nullopt;
      tokens.push_back(set);
      i = j;
    } else {
      tokens.push_back({Token::Char, c, {}});
    }
  }
  return Pattern(std::move(tokens), codePage);
}

Pattern::Pattern(std::vector<Token> tokens, const CodePage& codePage)
    : tokens_(std::move(tokens)), codePage_(&codePage) {
  for (const Token& token : tokens_) {
    bool single = token.kind == Token::Set && !token.negated && token.ranges.size() == 1 &&
                  token.ranges[0].first == token.ranges[0].last;
    if (token.kind != Token::Char && !single) wild_ = true;
  }
}

std::string Pattern::literal() const {
  std::string text;
  for (const Token& token : tokens_)
    text += token.kind == Token::Char ? token.text : token.ranges.at(0).first;
  return text;
}

bool Pattern::matches(const std::string& name) const {
  return matchChars(splitChars(name, *codePage_));
}

bool Pattern::inSet(const Token& token, const std::string& c) const {
  std::string folded = foldChar(c);
  unsigned code = codeOf(folded);
  for (const Range& range : token.ranges) {
    if (code >= codeOf(range.first) && code <= codeOf(range.last)) return !token.negated;
  }
  return token.negated;
}

bool Pattern::matchOne(const Token& token, const std::string& c) const {
  switch (token.kind) {
    case Token::AnyChar:
      return true;
    case Token::Char:
      return foldChar(token.text) == foldChar(c);
    case Token::Set:
      return inSet(token, c);
    case Token::AnyRun:
      break;
  }
  return false;
}

// The usual glob walk: on a mismatch, let the latest "*" take one more
// character. Linear in the name for each "*", never exponential.
bool Pattern::matchChars(const std::vector<std::string>& chars) const {
  const std::size_t none = static_cast<std::size_t>(-1);
  std::size_t token = 0, at = 0, starToken = none, starAt = 0;
  while (at < chars.size()) {
    if (token < tokens_.size() && tokens_[token].kind == Token::AnyRun) {
      starToken = token++;
      starAt = at;
    } else if (token < tokens_.size() && matchOne(tokens_[token], chars[at])) {
      ++token;
      ++at;
    } else if (starToken != none) {
      token = starToken + 1;
      at = ++starAt;
    } else {
      return false;
    }
  }
  while (token < tokens_.size() && tokens_[token].kind == Token::AnyRun) ++token;
  return token == tokens_.size();
}

}  // namespace zip32
