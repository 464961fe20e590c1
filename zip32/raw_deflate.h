// A raw deflate stream (no zlib header or trailer: a ZIP entry holds the
// bare stream), with one owner.
#pragma once
#include <zlib.h>

#include <cstring>
#include <new>

namespace zip32 {

class RawDeflateStream {
 public:
  // A window smaller than 2^15 gives the same bytes for an input that fits
  // in it, with less memory to set up.
  explicit RawDeflateStream(int level, int windowBits = MAX_WBITS) {
    std::memset(&stream_, 0, sizeof stream_);
    if (deflateInit2(&stream_, level, Z_DEFLATED, -windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw std::bad_alloc();
  }
  ~RawDeflateStream() { deflateEnd(&stream_); }
  RawDeflateStream(const RawDeflateStream&) = delete;
  RawDeflateStream& operator=(const RawDeflateStream&) = delete;

  z_stream* get() { return &stream_; }

 private:
  z_stream stream_;
};

}  // namespace zip32
