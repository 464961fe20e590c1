#pragma once
// The admission index of the input list: the case-folded keys of its
// entries, beside the list box that keeps the entries themselves, so that
// admitting a path costs constant time instead of a search of the list.
//
// The list box and the index change together:
//   if (index.insert(path)) { add to the list box; on failure index.erase(path) }
#include <string>
#include <string_view>
#include <unordered_set>

class InputIndex {
 public:
  // Records the path and returns true when no entry equal to it without
  // regard to letter case is recorded; otherwise changes nothing.
  bool insert(std::string_view path);
  // Forgets the entry equal to the path without regard to case, if any.
  void erase(std::string_view path);
  bool contains(std::string_view path) const;
  void clear() { keys_.clear(); }
  size_t size() const { return keys_.size(); }

 private:
  std::unordered_set<std::string> keys_;
};
