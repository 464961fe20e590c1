#include "command_line.h"

#include <optional>

namespace zip32 {

namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Nullopt when a quote is left open. Neither a blank nor a quote can be the
// trail byte of a double-byte character, so bytes are enough here.
std::optional<std::vector<Token>> tokenize(const std::string& text) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    if (isBlank(text[i])) {
      ++i;
      continue;
    }
    Token token;
    bool inQuote = false;
    for (; i < text.size() && (inQuote || !isBlank(text[i])); ++i) {
      if (text[i] == '"') {
        inQuote = !inQuote;
        token.quoted = true;
      } else {
        token.text += text[i];
      }
    }
    if (inQuote) return std::nullopt;
    tokens.push_back(token);
  }
  return tokens;
}

// Applies one switch token ("-6", "-q", "-jq"); false when it is not one we know.
bool applySwitch(const std::string& token, CommandLine& line) {
  std::string body = token.substr(1);
  if (body.empty()) return false;
  if (body.find_first_not_of("0123456789") == std::string::npos) {
    if (body.size() != 1) return false;
    line.level = body[0] - '0';
    return true;
  }
  for (char c : body) {
    if (c == 'q') {
      line.quiet = true;
    } else if (c == 'j') {
      line.junkPaths = true;
    } else {
      return false;
    }
  }
  return true;
}

ParsedCommandLine failure(const std::string& error) {
  return {false, error, {}};
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::string& text) {
  std::optional<std::vector<Token>> tokens = tokenize(text);
  if (!tokens) return failure("引用符が閉じていません。");
  ParsedCommandLine parsed;
  std::size_t i = 0;
  for (; i < tokens->size() && !(*tokens)[i].quoted && (*tokens)[i].text[0] == '-'; ++i) {
    if (!applySwitch((*tokens)[i].text, parsed.commandLine))
      return failure("不明なスイッチです: " + (*tokens)[i].text);
  }
  if (i >= tokens->size() || (*tokens)[i].text.empty())
    return failure("書庫ファイル名がありません。");
  parsed.commandLine.archive = (*tokens)[i++].text;
  for (; i < tokens->size(); ++i) {
    if ((*tokens)[i].text.empty()) return failure("空のファイル名があります。");
    parsed.commandLine.inputs.push_back((*tokens)[i].text);
  }
  if (parsed.commandLine.inputs.empty()) return failure("圧縮するファイルがありません。");
  parsed.ok = true;
  return parsed;
}

}  // namespace zip32
