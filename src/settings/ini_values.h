#pragma once
// How integers and booleans are stored as the text of a settings key.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reads an integer: optional leading spaces, then either an optional sign
// and decimal digits within the signed 32-bit range, or a hexadecimal
// marker ("$", "x", "X", "0x" or "0X") and up to eight significant
// hexadecimal digits taken as a 32-bit pattern ($FFFFFFFF is -1). Nothing
// may follow the digits. Empty when the text breaks any of this.
std::optional<std::int32_t> parseIniInteger(std::string_view text);

// Any integer but 0 is true; a text that is no integer is false.
bool parseIniBoolean(std::string_view text);

// Decimal, with a minus sign for negative numbers and nothing else.
std::string formatIniInteger(std::int32_t value);

// "1" or "0".
std::string formatIniBoolean(bool value);
