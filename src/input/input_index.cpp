#include "input/input_index.h"

#include "input/case_fold.h"

bool InputIndex::insert(std::string_view path) {
  return keys_.insert(caseFoldKey(path)).second;
}

void InputIndex::erase(std::string_view path) { keys_.erase(caseFoldKey(path)); }

bool InputIndex::contains(std::string_view path) const {
  return keys_.count(caseFoldKey(path)) != 0;
}
