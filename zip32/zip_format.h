// ZIP records as this archiver writes and reads them: local and central
// headers, the end records (ZIP64 where needed), and the central
// directory of an existing archive.
#pragma once
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
};

// The local header; with zip64Sizes it carries a ZIP64 field of both sizes.
std::string localHeader(const Entry& entry);
std::string centralHeader(const Entry& entry);
// ZIP64 end record and locator when the count, size or offset needs them,
// then the end record.
std::string endRecords(std::uint64_t entryCount, std::uint64_t directoryOffset,
                       std::uint64_t directorySize, const std::string& comment);

struct CentralDirectory {
  std::vector<Entry> entries;
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  std::string comment;
};

// Throws ZipError(ArchiveDamaged) when the file is not a sound ZIP archive.
CentralDirectory readCentralDirectory(FileReader& file, const std::string& path);

struct LocalHeader : EntryFields {
  std::uint64_t length = 0;  // fixed part, name and extra fields
  bool zip64 = false;
};

LocalHeader readLocalHeader(FileReader& file, std::uint64_t offset, const std::string& path);

// Bytes after an entry's data: its data descriptor, if its flags announce one.
std::uint64_t dataDescriptorLength(FileReader& file, const Entry& entry, std::uint64_t at,
                                   const std::string& path);

}  // namespace zip32
