// What each fuzz target checks on one input: an empty text when all is
// well, else what went wrong. The libFuzzer targets stop on a problem; the
// unit tests run the inputs kept under regressions/ through the same checks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace zip32::fuzz {

// The input is an existing archive after one byte that picks what is
// added. A failed call must leave it untouched, a successful one must keep
// every old entry byte for byte; no temporary file may stay behind.
std::string checkArchiveUpdate(const std::uint8_t* data, std::size_t size);

// The archiver's command line: a parse that succeeds gives an archive and inputs.
std::string checkCommandLine(const std::uint8_t* data, std::size_t size);

// A wildcard pattern, a NUL, a name: a pattern without wildcards matches its own literal.
std::string checkPattern(const std::uint8_t* data, std::size_t size);

}  // namespace zip32::fuzz
