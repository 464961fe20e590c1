#include "parallel_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "raw_deflate.h"

namespace zip32 {

namespace {

constexpr std::size_t kWindow = 32 * 1024;
constexpr unsigned kMostThreads = 8;  // keeps a 32-bit process's memory small

struct Block {
  std::vector<unsigned char> input;
  std::vector<unsigned char> dictionary;  // the last 32 KiB before this block
  bool last = false;
  bool claimed = false;
  bool done = false;
  std::vector<unsigned char> output;
  std::uint32_t crc = 0;
  std::exception_ptr error;
};

// A raw deflate stream reused for block after block.
class BlockCompressor {
 public:
  explicit BlockCompressor(int level) : stream_(level) {}

  void compress(Block& block) {
    z_stream* stream = stream_.get();
    if (deflateReset(stream) != Z_OK) throw std::bad_alloc();
    if (!block.dictionary.empty() &&
        deflateSetDictionary(stream, block.dictionary.data(),
                             static_cast<uInt>(block.dictionary.size())) != Z_OK)
      throw std::bad_alloc();
    // Room for all of it: the bound plus the few bytes of the sync marker.
    block.output.resize(deflateBound(stream, static_cast<uLong>(block.input.size())) + 16);
    stream->next_in = block.input.data();
    stream->avail_in = static_cast<uInt>(block.input.size());
    stream->next_out = block.output.data();
    stream->avail_out = static_cast<uInt>(block.output.size());
    int result = deflate(stream, block.last ? Z_FINISH : Z_SYNC_FLUSH);
    bool complete = block.last ? result == Z_STREAM_END : result == Z_OK && stream->avail_in == 0;
    if (!complete || stream->avail_out == 0) throw std::bad_alloc();
    block.output.resize(block.output.size() - stream->avail_out);
    block.crc = static_cast<std::uint32_t>(
        crc32(crc32(0, nullptr, 0), block.input.data(), static_cast<uInt>(block.input.size())));
  }

 private:
  RawDeflateStream stream_;
};

// The blocks in flight, in stream order, and the threads that deflate them.
class Pipeline {
 public:
  // Runs on the threads the system gives, at least one: a thread that
  // cannot start (no room for its stack) leaves the work to the others.
  Pipeline(int level, unsigned threads) {
    workers_.reserve(threads);
    try {
      for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this, level] { work(level); });
    } catch (...) {
      if (workers_.empty()) throw std::bad_alloc();
    }
  }
  ~Pipeline() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;

  void push(std::unique_ptr<Block> block) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      blocks_.push_back(std::move(block));
    }
    wake_.notify_one();
  }
  std::size_t size() const { return blocks_.size(); }  // only the feeding thread changes it
  bool empty() const { return blocks_.empty(); }

  // Waits for the oldest block and takes it out.
  std::unique_ptr<Block> popFinished() {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [this] { return blocks_.front()->done; });
    std::unique_ptr<Block> block = std::move(blocks_.front());
    blocks_.pop_front();
    if (block->error) std::rethrow_exception(block->error);
    return block;
  }

 private:
  // A thread's whole life: what a block's deflate throws goes back with the block.
  void work(int level) noexcept {
    std::unique_ptr<BlockCompressor> compressor;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      Block* block = nullptr;
      wake_.wait(lock, [&] { return stopping_ || (block = nextUnclaimed()) != nullptr; });
      if (stopping_) return;
      block->claimed = true;
      lock.unlock();
      try {
        if (!compressor) compressor = std::make_unique<BlockCompressor>(level);
        compressor->compress(*block);
      } catch (...) {
        block->error = std::current_exception();
      }
      lock.lock();
      block->done = true;
      finished_.notify_all();
    }
  }

  Block* nextUnclaimed() {
    for (std::unique_ptr<Block>& block : blocks_) {
      if (!block->claimed) return block.get();
    }
    return nullptr;
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable finished_;
  std::deque<std::unique_ptr<Block>> blocks_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace

ParallelDeflate::ParallelDeflate(int level, unsigned threads, std::size_t blockSize)
    : level_(level),
      threads_(std::clamp(threads, 1u, kMostThreads)),
      blockSize_(std::max(blockSize, kWindow)) {}

unsigned ParallelDeflate::machineThreads() {
  unsigned cores = std::thread::hardware_concurrency();
  return std::clamp(cores, 1u, kMostThreads);
}

DeflateTotals ParallelDeflate::run(const Reader& read, const Writer& write) {
  DeflateTotals totals;
  totals.crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
  Pipeline pipeline(level_, threads_);
  // Enough to keep every thread busy while the oldest block is written.
  const std::size_t inFlight = threads_ + 2;

  // Written blocks come back for the next reads: their buffers are reused, not zeroed again.
  std::vector<std::unique_ptr<Block>> spare;
  auto readBlock = [&] {
    std::unique_ptr<Block> block;
    if (spare.empty()) {
      block = std::make_unique<Block>();
    } else {
      block = std::move(spare.back());
      spare.pop_back();
      block->claimed = block->done = block->last = false;
    }
    block->input.resize(blockSize_);
    block->input.resize(read(block->input.data(), blockSize_));
    return block;
  };
  // One block read ahead tells whether the one before it is the last.
  std::unique_ptr<Block> ahead = readBlock();
  std::vector<unsigned char> tail;
  bool fed = false;
  while (!fed || !pipeline.empty()) {
    while (!fed && pipeline.size() < inFlight) {
      std::unique_ptr<Block> block = std::move(ahead);
      block->dictionary = tail;
      std::size_t keep = std::min(kWindow, block->input.size());
      tail.assign(block->input.end() - static_cast<std::ptrdiff_t>(keep), block->input.end());
      if (block->input.size() == blockSize_) ahead = readBlock();
      block->last = !ahead || ahead->input.empty();
      fed = block->last;
      pipeline.push(std::move(block));
    }
    std::unique_ptr<Block> block = pipeline.popFinished();
    totals.crc = static_cast<std::uint32_t>(
        crc32_combine(totals.crc, block->crc, static_cast<z_off_t>(block->input.size())));
    totals.inputSize += block->input.size();
    totals.outputSize += block->output.size();
    if (!write(block->output.data(), block->output.size(), block->input.size())) {
      totals.stopped = true;
      return totals;
    }
    spare.push_back(std::move(block));
  }
  return totals;
}

}  // namespace zip32
