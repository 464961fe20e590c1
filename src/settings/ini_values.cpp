#include "settings/ini_values.h"

#include <algorithm>
#include <cstdint>

namespace {

bool isDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

int hexDigitValue(char c) {
  if (isDecimalDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool startsWithZeroX(std::string_view text) {
  return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

// The length of the hexadecimal marker that text starts with, or 0.
std::size_t hexMarkerLength(std::string_view text) {
  if (startsWithZeroX(text)) return 2;
  if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) return 1;
  return 0;
}

std::optional<std::int32_t> parseHexDigits(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t pattern = 0;
  int significant = 0;
  for (char c : digits) {
    int value = hexDigitValue(c);
    if (value < 0) return std::nullopt;
    if (significant > 0 || value != 0) ++significant;
    if (significant > 8) return std::nullopt;
    pattern = pattern << 4 | static_cast<std::uint32_t>(value);
  }
  return static_cast<std::int32_t>(pattern);
}

std::optional<std::int32_t> parseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // The magnitude may reach 2^31 only for a negative number.
  const std::int64_t limit = negative ? std::int64_t{INT32_MAX} + 1 : INT32_MAX;
  std::int64_t magnitude = 0;
  for (char c : text) {
    if (!isDecimalDigit(c)) return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace

std::optional<std::int32_t> parseIniInteger(std::string_view text) {
  std::string normalised(text);
  if (normalised.size() > 2 && startsWithZeroX(normalised)) normalised.replace(0, 2, "$");
  std::string_view rest = normalised;
  rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
  if (std::size_t marker = hexMarkerLength(rest)) return parseHexDigits(rest.substr(marker));
  return parseDecimal(rest);
}

bool parseIniBoolean(std::string_view text) {
  return parseIniInteger(text).value_or(0) != 0;
}

std::string formatIniInteger(std::int32_t value) {
  return std::to_string(value);
}

std::string formatIniBoolean(bool value) {
  return value ? "1" : "0";
}
