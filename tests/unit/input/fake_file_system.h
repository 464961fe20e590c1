#pragma once
// In-memory stand-ins for the file system and the keyboard.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "os/file_system.h"
#include "os/key_state.h"

// Searches are answered by exact pattern text, in the order given; every
// search made is recorded, and the open ones are counted. A UTF-8 text is
// its own exact code-page form unless it is given one (a best fit where it
// is not exact), and has a short path only where one is given.
class FakeFileSystem : public FileSystem {
 public:
  void answer(const std::string& pattern, std::vector<FileEntry> entries) {
    searches_[pattern] = std::move(entries);
  }
  void setAttributes(const std::string& path, FileAttributes attributes) {
    attributes_[path] = attributes;
  }
  void setCurrentDirectory(std::string folder) { currentDirectory_ = std::move(folder); }
  void setCodePageForm(const std::string& utf8, std::string codePage, bool exact) {
    codePageForms_[utf8] = {std::move(codePage), exact};
  }
  void setBestFit(const std::string& utf8, std::string codePage) {
    setCodePageForm(utf8, std::move(codePage), false);
  }
  void setShortPath(const std::string& utf8Path, std::string shortPath) {
    shortPaths_[utf8Path] = std::move(shortPath);
  }

  FileAttributes attributesOf(const std::string& path) override {
    auto found = attributes_.find(path);
    return found == attributes_.end() ? fileattr::kInvalid : found->second;
  }

  std::unique_ptr<FileSearch> search(const std::string& pattern) override {
    patterns.push_back(pattern);
    auto found = searches_.find(pattern);
    return std::make_unique<Search>(found == searches_.end() ? kNothing : found->second,
                                    openSearches);
  }

  // Forward slashes become backslashes; a path without a drive is taken in
  // the current directory (or on its drive, for one that starts with "\").
  std::string fullPathOf(const std::string& path) override {
    std::string full = path;
    for (char& c : full)
      if (c == '/') c = '\\';
    if (full.compare(0, 2, "\\\\") == 0 || (full.size() > 2 && full[1] == ':' && full[2] == '\\'))
      return full;
    if (full.compare(0, 1, "\\") == 0) return currentDirectory_.substr(0, 2) + full;
    return currentDirectory_ + "\\" + full;
  }

  CodePageText codePageForm(const std::string& utf8) override {
    auto found = codePageForms_.find(utf8);
    return found == codePageForms_.end() ? CodePageText{utf8, true} : found->second;
  }

  std::optional<std::string> shortPathOf(const std::string& utf8Path) override {
    auto found = shortPaths_.find(utf8Path);
    if (found == shortPaths_.end()) return std::nullopt;
    return found->second;
  }

  std::vector<std::string> patterns;  // every search, in the order made
  int openSearches = 0;               // searches not yet closed

 private:
  class Search : public FileSearch {
   public:
    Search(const std::vector<FileEntry>& entries, int& open) : entries_(entries), open_(open) {
      ++open_;
    }
    ~Search() override { --open_; }
    bool next(FileEntry& entry) override {
      if (at_ == entries_.size()) return false;
      entry = entries_[at_++];
      return true;
    }

   private:
    const std::vector<FileEntry>& entries_;
    int& open_;
    size_t at_ = 0;
  };

  inline static const std::vector<FileEntry> kNothing;
  std::map<std::string, std::vector<FileEntry>> searches_;
  std::map<std::string, FileAttributes> attributes_;
  std::map<std::string, CodePageText> codePageForms_;
  std::map<std::string, std::string> shortPaths_;
  std::string currentDirectory_ = "C:\\Work";
};

// Escape is down at the polls whose numbers (from 1) are listed, or from
// the first listed poll on when held.
class FakeKeyState : public KeyState {
 public:
  explicit FakeKeyState(std::vector<int> downAt = {}, bool held = false)
      : downAt_(std::move(downAt)), held_(held) {}
  bool escapeDown() override {
    ++polls;
    for (int at : downAt_)
      if (polls == at || (held_ && polls > at)) return true;
    return false;
  }
  int polls = 0;

 private:
  std::vector<int> downAt_;
  bool held_;
};
