#include "settings/ini_values.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct IntegerCase {
  const char* text;
  std::optional<std::int32_t> expected;
};

const IntegerCase integerCases[] = {
    // Decimal.
    {"12", 12},
    {"0", 0},
    {"-3", -3},
    {"+9", 9},
    {"-0", 0},
    {"00012", 12},
    {"2147483647", INT32_MAX},
    {"-2147483648", INT32_MIN},
    {"2147483648", std::nullopt},
    {"-2147483649", std::nullopt},
    {"99999999999999999999", std::nullopt},
    // Hexadecimal markers, either case of digits.
    {"0x9", 9},
    {"0X9", 9},
    {"X9", 9},
    {"x9", 9},
    {"$9", 9},
    {"$fF", 255},
    {"$FFFFFFFF", -1},
    {"0xFFFFFFFF", -1},
    {"$80000000", INT32_MIN},
    {"$000000001", 1},
    {"$100000000", std::nullopt},
    {"FFFFFFFF", std::nullopt},
    {"0x", std::nullopt},
    {"$", std::nullopt},
    {"x", std::nullopt},
    {"0xg", std::nullopt},
    {"0x$9", std::nullopt},
    // Blanks: leading spaces only.
    {"  7", 7},
    {"   -7", -7},
    {"  0x9", 9},
    {"\t7", std::nullopt},
    {"7 ", std::nullopt},
    {"- 7", std::nullopt},
    // Signs and trailing text.
    {"", std::nullopt},
    {" ", std::nullopt},
    {"-", std::nullopt},
    {"+", std::nullopt},
    {"+$9", std::nullopt},
    {"-0x9", std::nullopt},
    {"9abc", std::nullopt},
    {"1.5", std::nullopt},
    {"true", std::nullopt},
    {"yes", std::nullopt},
};

TEST(IniValues, IntegerReadingRules) {
  for (const IntegerCase& c : integerCases)
    EXPECT_EQ(parseIniInteger(c.text), c.expected) << "text \"" << c.text << "\"";
}

TEST(IniValues, BooleanIsAnyNonZeroInteger) {
  const std::pair<const char*, bool> cases[] = {
      {"1", true},   {"2", true}, {"-1", true},    {"$1", true},   {"0", false},
      {"$0", false}, {"", false}, {"true", false}, {"yes", false}, {"1 ", false},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(parseIniBoolean(text), expected) << "text \"" << text << "\"";
}

TEST(IniValues, FormatsReadBackUnchanged) {
  for (std::int32_t value : {0, 1, 9, -3, INT32_MAX, INT32_MIN})
    EXPECT_EQ(parseIniInteger(formatIniInteger(value)), value);
  EXPECT_EQ(formatIniInteger(-3), "-3");
  EXPECT_EQ(formatIniInteger(12), "12");
  EXPECT_EQ(formatIniBoolean(true), "1");
  EXPECT_EQ(formatIniBoolean(false), "0");
}

}  // namespace
