#pragma once
// An in-memory profile that logs every call in order and can refuse the
// write of one key.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "os/profile.h"

class FakeProfile : public Profile {
 public:
  using Key = std::pair<std::string, std::string>;  // section, key

  explicit FakeProfile(std::string path = "C:\\App\\selvat.ini") : path_(std::move(path)) {}

  std::string readText(const std::string& section, const std::string& key,
                       const std::string& fallback) const override {
    reads.push_back(key);
    auto found = values.find({section, key});
    return found == values.end() ? fallback : found->second;
  }

  bool writeText(const std::string& section, const std::string& key,
                 const std::string& text) override {
    writes.push_back(key);
    if (key == refusedKey) return false;
    values[{section, key}] = text;
    return true;
  }

  const std::string& path() const override { return path_; }

  std::map<Key, std::string> values;
  std::string refusedKey;
  mutable std::vector<std::string> reads;
  std::vector<std::string> writes;

 private:
  std::string path_;
};
