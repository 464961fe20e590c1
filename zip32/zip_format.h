// ZIP records as this archiver writes and reads them: local and central
// headers, data descriptors, the end records (ZIP64 where needed), and the
// central directory of an existing archive, whoever wrote it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file_system.h"

namespace zip32 {

constexpr std::uint32_t kMax32 = 0xFFFFFFFFu;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;

// What a local and a central header both say of an entry.
struct EntryFields {
  std::string name;  // raw bytes of the system code page
  std::uint16_t versionNeeded = 10;
  std::uint16_t flags = 0;
  std::uint16_t method = kStored;
  std::uint16_t dosTime = 0;
  std::uint16_t dosDate = 0x21;  // 1980-01-01
  std::uint32_t crc = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t uncompressedSize = 0;
};

struct Entry : EntryFields {
  std::uint16_t versionMadeBy = 63;  // 6.3, MS-DOS attributes
  std::uint16_t internalAttributes = 0;
  std::uint32_t externalAttributes = 0;
  std::uint64_t localOffset = 0;
  std::string localExtra;    // extra fields of the local header, ZIP64 aside
  std::string centralExtra;  // extra fields of the central header, ZIP64 aside
  std::string comment;
  bool zip64Sizes = false;  // both sizes travel in ZIP64 fields
  // Read from an existing archive: its local header, data and data
  // descriptor, which are copied as they are.
  std::uint64_t recordLength = 0;
};

// A header field holds at most this many bytes (a name, its extra fields, a comment).
constexpr std::size_t kMaxFieldLength = 0xFFFF;
// Room the ZIP64 field of a central header takes at most: tag, length, three numbers.
constexpr std::size_t kMaxZip64FieldLength = 4 + 3 * 8;

// The local header; with zip64Sizes it carries a ZIP64 field of both sizes.
// The writers throw ZipError(ArchiveNotWritable) for a name, extra fields
// or a comment longer than their length field can say.
std::string localHeader(const Entry& entry);
std::string centralHeader(const Entry& entry);
// ZIP64 end record and locator when the count, size or offset needs them,
// then the end record.
std::string endRecords(std::uint64_t entryCount, std::uint64_t directoryOffset,
                       std::uint64_t directorySize, const std::string& comment);

// Throws ZipError(ArchiveDamaged) naming the archive at path.
[[noreturn]] void damagedArchive(const std::string& path);

struct CentralDirectory {
  std::vector<Entry> entries;  // in the directory's order, offsets from the start of the file
  std::uint64_t offset = 0;    // where the directory starts in the file
  std::uint64_t size = 0;
  std::string comment;
  std::string trailer;  // bytes after the end record and its comment (padding)
};

// The directory as its own bytes say: every record its size holds, whatever
// the end record's count. Offsets that leave out bytes before the archive
// (a program stub prepended later) are moved to count them. Throws
// ZipError(ArchiveDamaged) when the file is not a sound ZIP archive.
CentralDirectory readCentralDirectory(FileReader& file, const std::string& path);

struct ExistingArchive {
  CentralDirectory directory;
  std::uint64_t prefixLength = 0;  // bytes before the first entry, a stub or nothing
};

// An archive to update: its directory, and every entry's local header, data
// and data descriptor found where the directory says, agreeing with it and
// overlapping nothing, so that recordLength can be copied as it is. Throws
// ZipError(ArchiveDamaged) otherwise.
ExistingArchive readExistingArchive(FileReader& file, const std::string& path);

struct LocalHeader : EntryFields {
  std::uint64_t length = 0;  // fixed part, name and extra fields
  bool zip64 = false;
};

LocalHeader readLocalHeader(FileReader& file, std::uint64_t offset, const std::string& path);

}  // namespace zip32
