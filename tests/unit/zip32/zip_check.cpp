#include "zip_check.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>

namespace zip32::test {

namespace {

std::string shellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::string checkArchive(const std::string& archive, const std::vector<std::string>& names) {
  std::string command = std::string("python3 ") + ZIP32_CHECKER + " " + shellQuote(archive);
  for (const std::string& name : names) command += " " + shellQuote(name);
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
  if (!pipe) return "cannot run the checker";
  std::string output;
  std::array<char, 4096> buffer;
  while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe.get()))
    output.append(buffer.data(), got);
  return output == "ok\n" ? "" : output;
}

std::string textLike(std::size_t size, unsigned seed) {
  std::string text;
  std::mt19937 random(seed);
  const char* words[] = {"archive ", "書庫 ", "file ",  "ファイル ",
                         "the ",     "圧縮 ", "data\n", "level "};
  while (text.size() < size) text += words[random() % 8];
  text.resize(size);
  return text;
}

std::string randomBytes(std::size_t size) {
  std::string bytes(size, '\0');
  std::mt19937 random(11);
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

TempFolder::TempFolder() {
  std::string pattern = "/tmp/zip32-test-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  path_ = pattern + "/";
}

TempFolder::~TempFolder() {
  std::string command = "rm -rf " + shellQuote(path_);
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cannot remove %s\n", path_.c_str());
}

std::vector<std::string> TempFolder::names() const {
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(path_.c_str()), closedir);
  while (dirent* entry = dir ? readdir(dir.get()) : nullptr) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace zip32::test
