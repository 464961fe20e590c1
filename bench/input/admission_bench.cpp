// Admitting paths into the input list: the index beside the list against a
// search of the whole list before every append, measured in one run. The
// linear search runs on a smaller count and is extrapolated by the square of
// the count; it compares ready-folded keys, the cheapest a search of the
// list can be, so the ratio printed is a lower bound.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "input/case_fold.h"
#include "input/input_index.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time of this process: on a machine shared with other work it
// is the steadier figure.
double cpuSecondsSince(std::clock_t start) {
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

std::string flipCase(std::string path) {
  for (char& c : path) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    else if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return path;
}

// count paths, one in ten of them a case-only duplicate of an earlier one.
std::vector<std::string> makePaths(size_t count) {
  std::mt19937 random(42);
  std::vector<std::string> paths;
  paths.reserve(count);
  for (size_t i = 0; paths.size() < count; ++i) {
    if (i % 10 == 9) {
      paths.push_back(flipCase(paths[random() % paths.size()]));
      continue;
    }
    paths.push_back("C:\\Data\\資料" + std::to_string(i % 97) + "\\Report表 " + std::to_string(i) +
                    ".txt");
  }
  return paths;
}

size_t admitWithIndex(const std::vector<std::string>& paths, InputIndex& index) {
  size_t admitted = 0;
  for (const std::string& path : paths) admitted += index.insert(path);
  return admitted;
}

size_t admitWithLinearSearch(const std::vector<std::string>& paths) {
  std::vector<std::string> keys;
  size_t admitted = 0;
  for (const std::string& path : paths) {
    std::string key = caseFoldKey(path);
    bool found = false;
    for (const std::string& entry : keys)
      if (entry == key) {
        found = true;
        break;
      }
    if (!found) {
      keys.push_back(std::move(key));
      ++admitted;
    }
  }
  return admitted;
}

}  // namespace

int main() {
  const size_t large = 1000000, small = 20000;
  const std::vector<std::string> paths = makePaths(large);
  const std::vector<std::string> fewer(paths.begin(), paths.begin() + small);

  // The best of three runs: other work on the machine only adds time.
  double indexSeconds = 1e9, indexCpu = 1e9;
  size_t admitted = 0;
  for (int run = 0; run < 3; ++run) {
    InputIndex index;  // destroyed outside the measure: freeing is no admission
    auto start = Clock::now();
    std::clock_t cpuStart = std::clock();
    admitted = admitWithIndex(paths, index);
    indexSeconds = std::min(indexSeconds, secondsSince(start));
    indexCpu = std::min(indexCpu, cpuSecondsSince(cpuStart));
  }

  auto start = Clock::now();
  std::clock_t cpuStart = std::clock();
  size_t admittedFew = admitWithLinearSearch(fewer);
  double linearSeconds = secondsSince(start);
  double linearCpu = cpuSecondsSince(cpuStart);
  double scale = static_cast<double>(large) / small;
  double linearExtrapolated = linearSeconds * scale * scale;

  std::printf("admitting %zu paths (%zu admitted, the rest case-only duplicates)\n", large,
              admitted);
  std::printf("  index:          %8.3f s, %.3f s processor time (best of 3)\n", indexSeconds,
              indexCpu);
  std::printf("  linear search:  %8.3f s for %zu paths (%zu admitted), %.0f s extrapolated\n",
              linearSeconds, small, admittedFew, linearExtrapolated);
  std::printf("  ratio linear/index: %.0f (processor time: %.0f)\n",
              linearExtrapolated / indexSeconds, linearCpu * scale * scale / indexCpu);
  std::printf("  goal: under 1 s for the index: %s\n", indexSeconds < 1.0 ? "met" : "missed");
  return 0;
}
