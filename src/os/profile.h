#pragma once
// A profile (INI) file seen one key at a time, the way the platform's
// profile functions give it: nothing is cached, every call is one lookup.
#include <cstddef>
#include <string>
#include <utility>

class Profile {
 public:
  virtual ~Profile() = default;

  // The key's text, or fallback when the file, the section or the key is
  // missing.
  virtual std::string readText(const std::string& section, const std::string& key,
                               const std::string& fallback) const = 0;

  // Sets the key to text, creating the file, section and key as needed and
  // leaving the rest of the file alone. False when the file cannot be
  // written.
  virtual bool writeText(const std::string& section, const std::string& key,
                         const std::string& text) = 0;

  // The file's full path, as the user is shown it.
  virtual const std::string& path() const = 0;
};

// The platform's profile file at a full path (Windows build only). A value
// is read into a buffer of profileBufferSize bytes, so at most
// profileBufferSize - 1 bytes of it are taken (one fewer where the cut
// would split a double-byte character).
class PrivateProfileFile final : public Profile {
 public:
  static constexpr std::size_t profileBufferSize = 2048;

  explicit PrivateProfileFile(std::string path) : path_(std::move(path)) {}

  std::string readText(const std::string& section, const std::string& key,
                       const std::string& fallback) const override;
  bool writeText(const std::string& section, const std::string& key,
                 const std::string& text) override;
  const std::string& path() const override { return path_; }

 private:
  std::string path_;
};
