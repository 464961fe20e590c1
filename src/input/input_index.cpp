#include "input/input_index.h"

#include "input/case_fold.h"

namespace {
// Growing the table in large steps: each growth moves every key, and a
// listing of a big folder admits its paths one after another.
constexpr size_t kGrowth = 4;
}  // namespace

bool InputIndex::insert(std::string_view path) {
  if (keys_.size() >= keys_.bucket_count()) keys_.reserve(keys_.size() * kGrowth);
  return keys_.insert(caseFoldKey(path)).second;
}

void InputIndex::erase(std::string_view path) {
  keys_.erase(caseFoldKey(path));
}

bool InputIndex::contains(std::string_view path) const {
  return keys_.count(caseFoldKey(path)) != 0;
}
