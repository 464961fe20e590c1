#include "input/input_index.h"

#include "input/case_fold.h"

InputIndex::Key InputIndex::keyOf(std::string_view path) const {
  return Key(caseFoldKey(path), &pool_);
}

bool InputIndex::insert(std::string_view path) { return keys_.insert(keyOf(path)).second; }

void InputIndex::erase(std::string_view path) { keys_.erase(keyOf(path)); }

bool InputIndex::contains(std::string_view path) const { return keys_.count(keyOf(path)) != 0; }
