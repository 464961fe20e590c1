#pragma once
// The texts the binding shows the user.
#include <cstdint>
#include <string>

// What failed, a line each, then the closing line.
std::string libraryErrorText(int32_t bindingResult);

// A version held as hundredths, written with two decimals: 108 is "1.08".
std::string formatHundredths(int value);

// The two lines of the library-version box.
std::string libraryVersionText(unsigned zip32jVersion, int zip32Version);
