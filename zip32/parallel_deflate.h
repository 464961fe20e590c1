// One raw deflate stream made on several threads, the way pigz does it:
// the input is cut into blocks, each block is deflated on its own with the
// last 32 KiB before it as its dictionary and ended on a byte boundary
// (the last one finished normally), and the pieces are joined in order.
// The bytes depend only on the level and the block size, not on the
// number of threads or their timing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

namespace zip32 {

struct DeflateTotals {
  std::uint32_t crc = 0;
  std::uint64_t inputSize = 0;
  std::uint64_t outputSize = 0;
  bool stopped = false;  // the writer asked to stop before the end
};

class ParallelDeflate {
 public:
  static constexpr std::size_t kDefaultBlock = 256 * 1024;

  // Fills the buffer with up to size bytes, fewer only at the end; throws on failure.
  using Reader = std::function<std::size_t(unsigned char* buffer, std::size_t size)>;
  // Takes the output of one block and the input bytes it stands for; false stops the run.
  using Writer =
      std::function<bool(const unsigned char* data, std::size_t size, std::size_t inputBytes)>;

  ParallelDeflate(int level, unsigned threads, std::size_t blockSize = kDefaultBlock);

  // Runs the whole stream. An exception from the reader, the writer or a
  // worker stops every thread before it leaves.
  DeflateTotals run(const Reader& read, const Writer& write);

  // Threads worth using on this machine.
  static unsigned machineThreads();

 private:
  int level_;
  unsigned threads_;
  std::size_t blockSize_;
};

}  // namespace zip32
