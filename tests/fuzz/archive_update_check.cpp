#include <algorithm>

#include "engine.h"
#include "fuzz_checks.h"
#include "memory_file_system.h"
#include "name_key.h"
#include "zip_format.h"

namespace zip32::fuzz {

namespace {

const char* const kArchive = "/a/x.zip";
const char* const kInputs = "/in/";
const ShiftJis kShiftJis;

std::string readAll(FileSystem& fileSystem, const std::string& path) {
  std::unique_ptr<FileReader> file = fileSystem.openRead(path);
  std::string bytes(static_cast<std::size_t>(file->size().value_or(0)), '\0');
  file->read(bytes.data(), bytes.size());
  return bytes;
}

// The name of the first old entry when it can be a file's name, so that
// adding replaces it; else a name of our own.
std::string nameToAdd(MemoryFileSystem& fileSystem, bool replace) {
  if (!replace) return "new.txt";
  try {
    std::unique_ptr<FileReader> file = fileSystem.openRead(kArchive);
    CentralDirectory directory = readCentralDirectory(*file, kArchive);
    if (directory.entries.empty()) return "new.txt";
    const std::string& name = directory.entries.front().name;
    bool plain = !name.empty() && name.size() < 200 &&
                 name.find_first_of(std::string("/\\:*?[\0", 7)) == std::string::npos;
    return plain ? name : "new.txt";
  } catch (const ZipError&) {
    return "new.txt";
  }
}

// Every old entry that was not replaced is in the new archive byte for
// byte, and what lay before the first entry still does.
std::string compareEntries(const std::string& before, FileSystem& fileSystem,
                           const std::string& addedKey) {
  MemoryFileSystem old;
  old.put(kArchive, before);
  std::unique_ptr<FileReader> oldFile = old.openRead(kArchive);
  ExistingArchive previous = readExistingArchive(*oldFile, kArchive);
  std::string after = readAll(fileSystem, kArchive);
  std::unique_ptr<FileReader> newFile = fileSystem.openRead(kArchive);
  CentralDirectory now = readCentralDirectory(*newFile, kArchive);
  if (after.compare(0, previous.prefixLength, before, 0, previous.prefixLength) != 0)
    return "the bytes before the first entry changed";
  std::vector<bool> used(now.entries.size(), false);
  std::size_t kept = 0;
  for (const Entry& entry : previous.directory.entries) {
    if (nameKey(entry, kShiftJis) == addedKey) continue;
    ++kept;
    std::string record = before.substr(entry.localOffset, entry.recordLength);
    bool found = false;
    for (std::size_t i = 0; i < now.entries.size() && !found; ++i) {
      const Entry& candidate = now.entries[i];
      found = !used[i] && candidate.name == entry.name &&
              after.compare(candidate.localOffset, record.size(), record) == 0;
      if (found) used[i] = true;
    }
    if (!found) return "an old entry is not kept byte for byte: " + entry.name;
  }
  if (now.entries.size() != kept + 1) return "the new archive has the wrong number of entries";
  return "";
}

}  // namespace

std::string checkArchiveUpdate(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return "";
  std::string before(reinterpret_cast<const char*>(data) + 1, size - 1);
  MemoryFileSystem fileSystem;
  fileSystem.put(kArchive, before);
  std::string name = nameToAdd(fileSystem, (data[0] & 1) != 0);
  fileSystem.put(kInputs + name, "the new file");
  ArchiveRequest request{(data[0] & 2) != 0 ? 6 : 0, true, kArchive, {kInputs + name}};
  NoProgress progress;
  Outcome outcome = makeArchive(request, fileSystem, kShiftJis, progress);
  if (fileSystem.files().size() != 2) return "a temporary file was left behind";
  if (outcome.code != ResultCode::Ok) {
    if (readAll(fileSystem, kArchive) != before) return "a failed call changed the archive";
    return "";
  }
  try {
    return compareEntries(before, fileSystem, nameKey(name, kShiftJis));
  } catch (const ZipError& error) {
    return std::string("the updated archive cannot be read: ") + error.what();
  }
}

}  // namespace zip32::fuzz
