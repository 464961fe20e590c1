#pragma once
// The admission index of the input list: the case-folded keys of its
// entries, beside the list box that keeps the entries themselves, so that
// admitting a path costs constant time instead of a search of the list.
//
// The list box and the index change together:
//   if (index.insert(path)) { add to the list box; on failure index.erase(path) }
#include <memory_resource>
#include <string>
#include <string_view>
#include <unordered_set>

class InputIndex {
 public:
  InputIndex() = default;
  InputIndex(const InputIndex&) = delete;  // the keys live in this object's pool
  InputIndex& operator=(const InputIndex&) = delete;

  // Records the path and returns true when no entry equal to it without
  // regard to letter case is recorded; otherwise changes nothing.
  bool insert(std::string_view path);
  // Forgets the entry equal to the path without regard to case, if any.
  void erase(std::string_view path);
  bool contains(std::string_view path) const;
  // Forgets every entry; their memory stays pooled for the next ones.
  void clear() { keys_.clear(); }
  size_t size() const { return keys_.size(); }

 private:
  using Key = std::pmr::string;
  Key keyOf(std::string_view path) const;

  // Keys and table nodes come from one pool: a million small allocations
  // cost a fraction of what the general heap takes for them.
  mutable std::pmr::unsynchronized_pool_resource pool_;
  std::pmr::unordered_set<Key> keys_{&pool_};
};
