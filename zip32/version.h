#pragma once

namespace zip32 {

// The engine in zip32.dll.
constexpr unsigned char kEngineMajor = 1, kEngineMinor = 0, kEnginePatch = 0;
// zip32j.dll, as its version times 100.
constexpr unsigned short kLibraryVersion = 100;

}  // namespace zip32
