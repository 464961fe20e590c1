#include "parallel_deflate.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>

#include "zip_check.h"

namespace zip32 {
namespace {

using test::randomBytes;
using test::textLike;

constexpr std::size_t kBlock = 64 * 1024;
constexpr std::size_t kWindow = 32 * 1024;

struct Deflated {
  std::string output;
  DeflateTotals totals;
};

Deflated deflateAll(const std::string& input, int level, unsigned threads,
                    std::size_t block = kBlock) {
  std::size_t at = 0;
  Deflated run;
  auto read = [&](unsigned char* buffer, std::size_t size) {
    std::size_t n = std::min(size, input.size() - at);
    std::memcpy(buffer, input.data() + at, n);
    at += n;
    return n;
  };
  auto write = [&](const unsigned char* data, std::size_t size, std::size_t) {
    run.output.append(reinterpret_cast<const char*>(data), size);
    return true;
  };
  run.totals = ParallelDeflate(level, threads, block).run(read, write);
  return run;
}

std::string inflateRaw(const std::string& compressed, std::size_t expected) {
  z_stream stream{};
  inflateInit2(&stream, -MAX_WBITS);
  std::string output(expected + 1, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  stream.avail_in = static_cast<uInt>(compressed.size());
  stream.next_out = reinterpret_cast<Bytef*>(output.data());
  stream.avail_out = static_cast<uInt>(output.size());
  int result = inflate(&stream, Z_FINISH);
  output.resize(stream.total_out);
  bool consumedAll = stream.avail_in == 0;
  inflateEnd(&stream);
  if (result != Z_STREAM_END || !consumedAll)
    throw std::runtime_error("not one complete deflate stream");
  return output;
}

std::size_t zlibSize(const std::string& input, int level) {
  z_stream stream{};
  deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string output(deflateBound(&stream, static_cast<uLong>(input.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  stream.avail_in = static_cast<uInt>(input.size());
  stream.next_out = reinterpret_cast<Bytef*>(output.data());
  stream.avail_out = static_cast<uInt>(output.size());
  deflate(&stream, Z_FINISH);
  std::size_t size = stream.total_out;
  deflateEnd(&stream);
  return size;
}

TEST(ParallelDeflateTest, RoundTripsAroundTheBlockAndWindowSizes) {
  const std::size_t sizes[] = {0,
                               1,
                               kWindow - 1,
                               kWindow,
                               kWindow + 1,
                               kBlock - 1,
                               kBlock,
                               kBlock + 1,
                               3 * kBlock - 1,
                               3 * kBlock,
                               3 * kBlock + kWindow + 1};
  const std::string text = textLike(4 * kBlock);
  const std::string noise = randomBytes(4 * kBlock);
  for (const std::string* data : {&text, &noise}) {
    for (std::size_t size : sizes) {
      std::string input = data->substr(0, size);
      for (int level : {1, 6, 9}) {
        Deflated run = deflateAll(input, level, 3);
        std::string where = "size " + std::to_string(size) + " level " + std::to_string(level);
        EXPECT_EQ(inflateRaw(run.output, size), input) << where;
        EXPECT_EQ(run.totals.crc,
                  crc32(0, reinterpret_cast<const Bytef*>(input.data()), static_cast<uInt>(size)))
            << where;
        EXPECT_EQ(run.totals.inputSize, size) << where;
        EXPECT_EQ(run.totals.outputSize, run.output.size()) << where;
      }
    }
  }
}

TEST(ParallelDeflateTest, SameBytesWhateverTheThreadCount) {
  std::string input = textLike(10 * kBlock + 123);
  for (int level : {1, 6, 9}) {
    std::string one = deflateAll(input, level, 1).output;
    for (unsigned threads : {2u, 4u, 8u}) {
      EXPECT_EQ(deflateAll(input, level, threads).output, one) << level << "/" << threads;
      EXPECT_EQ(deflateAll(input, level, threads).output, one)
          << "again " << level << "/" << threads;
    }
  }
}

TEST(ParallelDeflateTest, AtMostHalfAPercentAboveZlib) {
  std::string input = textLike(40 * ParallelDeflate::kDefaultBlock, 3);
  for (int level : {1, 6, 9}) {
    std::size_t parallel =
        deflateAll(input, level, 2, ParallelDeflate::kDefaultBlock).output.size();
    EXPECT_LE(static_cast<double>(parallel), zlibSize(input, level) * 1.005) << level;
  }
}

TEST(ParallelDeflateTest, AFailureOrStopEndsEveryThread) {
  std::string input = textLike(20 * kBlock);
  std::size_t at = 0;
  std::size_t failAt = 7 * kBlock;
  auto read = [&](unsigned char* buffer, std::size_t size) {
    if (at >= failAt) throw std::runtime_error("read failed");
    std::size_t n = std::min(size, input.size() - at);
    std::memcpy(buffer, input.data() + at, n);
    at += n;
    return n;
  };
  auto keep = [](const unsigned char*, std::size_t, std::size_t) { return true; };
  EXPECT_THROW(ParallelDeflate(6, 4, kBlock).run(read, keep), std::runtime_error);

  at = 0;
  int blocks = 0;
  auto failThird = [&](const unsigned char*, std::size_t, std::size_t) {
    if (++blocks == 3) throw std::runtime_error("disk full");
    return true;
  };
  EXPECT_THROW(ParallelDeflate(6, 4, kBlock).run(read, failThird), std::runtime_error);

  at = 0;
  blocks = 0;
  failAt = input.size() + 1;
  auto stopSecond = [&](const unsigned char*, std::size_t, std::size_t) { return ++blocks < 2; };
  DeflateTotals totals = ParallelDeflate(6, 4, kBlock).run(read, stopSecond);
  EXPECT_TRUE(totals.stopped);
  EXPECT_EQ(totals.inputSize, 2 * kBlock);
}

std::size_t addressSpaceInUse() {
  unsigned long pages = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// Where the system has room for one more thread's stack but not for four
// (a 32-bit process late in a long run), the work goes on with the threads
// that started: no thread is left joinable to end the process.
TEST(ParallelDeflateTest, ThreadsThatCannotStartLeaveTheWorkToTheOthers) {
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string input = textLike(16 * kBlock);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = addressSpaceInUse() + (12 << 20);  // one 8 MiB stack
    setrlimit(RLIMIT_AS, &limit);
    try {
      Deflated run = deflateAll(input, 6, 4);
      _exit(inflateRaw(run.output, input.size()) == input ? 0 : 2);
    } catch (const std::bad_alloc&) {
      _exit(3);  // no thread at all: the run reports running out of memory
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace zip32
