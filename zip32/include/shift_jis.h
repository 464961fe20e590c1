// The lead bytes of code page 932 (Shift-JIS): a byte in 0x81-0x9F or
// 0xE0-0xFC starts a double-byte character. The program and the archiver
// read paths by this table where the system gives none (natively, in the
// tests); on Windows both ask the system for its code page's own.
#pragma once

constexpr bool isShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
