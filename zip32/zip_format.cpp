#include "zip_format.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>

#include "result.h"

namespace zip32 {

void damagedArchive(const std::string& path) {
  throw ZipError(ResultCode::ArchiveDamaged, "書庫ファイルが壊れています: " + path);
}

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
constexpr std::uint16_t kZip64Tag = 0x0001;
constexpr std::size_t kEndLength = 22;
constexpr std::size_t kLocatorLength = 20;
constexpr std::size_t kZip64EndLength = 56;

void put16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}
void put64(std::string& out, std::uint64_t value) {
  put32(out, static_cast<std::uint32_t>(value));
  put32(out, static_cast<std::uint32_t>(value >> 32));
}
// The length of a name, extra fields or comment, which must fit its field.
void putLength(std::string& out, std::size_t length, const std::string& name) {
  if (length > kMaxFieldLength)
    throw ZipError(ResultCode::ArchiveNotWritable, "ZIP の見出しに収まりません: " + name);
  put16(out, static_cast<std::uint32_t>(length));
}
std::uint32_t clamp32(std::uint64_t value) {
  return value >= kMax32 ? kMax32 : static_cast<std::uint32_t>(value);
}

// Reads little-endian numbers from a byte string, failing as a damaged archive.
class Cursor {
 public:
  Cursor(const std::string& bytes, const std::string& path, std::size_t at = 0)
      : bytes_(bytes), path_(path), at_(at) {}
  std::uint64_t number(std::size_t size) {
    need(size);
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
      value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
    at_ += size;
    return value;
  }
  std::uint16_t u16() { return static_cast<std::uint16_t>(number(2)); }
  std::uint32_t u32() { return static_cast<std::uint32_t>(number(4)); }
  std::uint64_t u64() { return number(8); }
  std::string text(std::size_t size) {
    need(size);
    std::string value = bytes_.substr(at_, size);
    at_ += size;
    return value;
  }
  std::size_t position() const { return at_; }

 private:
  void need(std::size_t size) {
    if (size > bytes_.size() || at_ > bytes_.size() - size) damagedArchive(path_);
  }
  const std::string& bytes_;
  const std::string& path_;
  std::size_t at_;
};

std::string readAt(FileReader& file, std::uint64_t offset, std::size_t size,
                   const std::string& path) {
  std::string bytes(size, '\0');
  if (!file.seek(offset)) damagedArchive(path);
  std::size_t done = 0;
  while (done < size) {
    std::optional<std::size_t> got = file.read(bytes.data() + done, size - done);
    if (!got || *got == 0) damagedArchive(path);
    done += *got;
  }
  return bytes;
}

// Splits extra fields into the ZIP64 field's body and all the others.
void splitExtra(const std::string& extra, std::string& zip64, std::string& others) {
  std::size_t at = 0;
  while (at + 4 <= extra.size()) {
    std::uint16_t tag =
        static_cast<unsigned char>(extra[at]) | static_cast<unsigned char>(extra[at + 1]) << 8;
    std::size_t size =
        static_cast<unsigned char>(extra[at + 2]) | static_cast<unsigned char>(extra[at + 3]) << 8;
    if (at + 4 + size > extra.size()) break;
    if (tag == kZip64Tag) {
      zip64 = extra.substr(at + 4, size);
    } else {
      others += extra.substr(at, 4 + size);
    }
    at += 4 + size;
  }
  if (at < extra.size()) others += extra.substr(at);  // an odd tail stays as it was
}

// The run of fields both headers share, from the version needed to the CRC.
void putEntryFields(std::string& out, const EntryFields& fields, std::uint16_t versionNeeded) {
  put16(out, versionNeeded);
  put16(out, fields.flags);
  put16(out, fields.method);
  put16(out, fields.dosTime);
  put16(out, fields.dosDate);
  put32(out, fields.crc);
}

std::string zip64Field(const std::string& body) {
  std::string field;
  if (body.empty()) return field;
  put16(field, kZip64Tag);
  put16(field, static_cast<std::uint32_t>(body.size()));
  return field + body;
}

}  // namespace

std::string localHeader(const Entry& entry) {
  std::string zip64;
  if (entry.zip64Sizes) {
    put64(zip64, entry.uncompressedSize);
    put64(zip64, entry.compressedSize);
  }
  std::string extra = zip64Field(zip64) + entry.localExtra;
  std::string out;
  put32(out, kLocalSignature);
  putEntryFields(out, entry, entry.versionNeeded);
  put32(out, entry.zip64Sizes ? kMax32 : clamp32(entry.compressedSize));
  put32(out, entry.zip64Sizes ? kMax32 : clamp32(entry.uncompressedSize));
  putLength(out, entry.name.size(), entry.name);
  putLength(out, extra.size(), entry.name);
  return out + entry.name + extra;
}

std::string centralHeader(const Entry& entry) {
  bool bigUncompressed = entry.zip64Sizes || entry.uncompressedSize >= kMax32;
  bool bigCompressed = entry.zip64Sizes || entry.compressedSize >= kMax32;
  bool bigOffset = entry.localOffset >= kMax32;
  std::string zip64;
  if (bigUncompressed) put64(zip64, entry.uncompressedSize);
  if (bigCompressed) put64(zip64, entry.compressedSize);
  if (bigOffset) put64(zip64, entry.localOffset);
  std::string extra = zip64Field(zip64) + entry.centralExtra;
  std::uint16_t versionNeeded =
      zip64.empty() ? entry.versionNeeded : std::max<std::uint16_t>(entry.versionNeeded, 45);
  std::string out;
  put32(out, kCentralSignature);
  put16(out, entry.versionMadeBy);
  putEntryFields(out, entry, versionNeeded);
  put32(out, bigCompressed ? kMax32 : static_cast<std::uint32_t>(entry.compressedSize));
  put32(out, bigUncompressed ? kMax32 : static_cast<std::uint32_t>(entry.uncompressedSize));
  putLength(out, entry.name.size(), entry.name);
  putLength(out, extra.size(), entry.name);
  putLength(out, entry.comment.size(), entry.name);
  put16(out, 0);  // disk
  put16(out, entry.internalAttributes);
  put32(out, entry.externalAttributes);
  put32(out, bigOffset ? kMax32 : static_cast<std::uint32_t>(entry.localOffset));
  return out + entry.name + extra + entry.comment;
}

std::string endRecords(std::uint64_t entryCount, std::uint64_t directoryOffset,
                       std::uint64_t directorySize, const std::string& comment) {
  bool zip64 = entryCount >= 0xFFFF || directoryOffset >= kMax32 || directorySize >= kMax32;
  std::string out;
  if (zip64) {
    std::uint64_t recordOffset = directoryOffset + directorySize;
    put32(out, kZip64EndSignature);
    put64(out, kZip64EndLength - 12);
    put16(out, 63);
    put16(out, 45);
    put32(out, 0);
    put32(out, 0);
    put64(out, entryCount);
    put64(out, entryCount);
    put64(out, directorySize);
    put64(out, directoryOffset);
    put32(out, kZip64LocatorSignature);
    put32(out, 0);
    put64(out, recordOffset);
    put32(out, 1);
  }
  std::uint16_t count16 = zip64 ? 0xFFFF : static_cast<std::uint16_t>(entryCount);
  put32(out, kEndSignature);
  put16(out, 0);
  put16(out, 0);
  put16(out, count16);
  put16(out, count16);
  put32(out, zip64 ? kMax32 : static_cast<std::uint32_t>(directorySize));
  put32(out, zip64 ? kMax32 : static_cast<std::uint32_t>(directoryOffset));
  putLength(out, comment.size(), "");
  return out + comment;
}

namespace {

// Padding after the end record that the search for it looks past.
constexpr std::size_t kMaxTrailer = 0x10000;
constexpr std::size_t kCentralLength = 46;
constexpr std::size_t kLocalLength = 30;
constexpr std::uint16_t kDescriptorFlag = 0x08;

// Whether a + b <= limit, without wrapping.
bool fits(std::uint64_t a, std::uint64_t b, std::uint64_t limit) {
  return a <= limit && b <= limit - a;
}

struct EndRecord {
  std::uint64_t position = 0;      // of the end record
  std::uint64_t end = 0;           // just past its comment
  std::uint64_t directoryEnd = 0;  // where the directory must end: at the end records
  std::uint64_t directorySize = 0, directoryOffset = 0;
  std::uint16_t disk = 0, directoryDisk = 0, onDisk = 0, total = 0;
  bool zip64 = false;
  std::string comment;
};

// An end record at the given place of the tail, if its comment fits in the file.
std::optional<EndRecord> parseEndRecord(const std::string& tail, std::size_t at,
                                        std::uint64_t tailStart, const std::string& path) {
  Cursor cursor(tail, path, at);
  if (cursor.u32() != kEndSignature) return std::nullopt;
  EndRecord end;
  end.disk = cursor.u16();
  end.directoryDisk = cursor.u16();
  end.onDisk = cursor.u16();
  end.total = cursor.u16();
  end.directorySize = cursor.u32();
  end.directoryOffset = cursor.u32();
  std::uint16_t commentLength = cursor.u16();
  if (commentLength > tail.size() - cursor.position()) return std::nullopt;
  end.comment = cursor.text(commentLength);
  end.position = tailStart + at;
  end.end = tailStart + cursor.position();
  end.directoryEnd = end.position;
  return end;
}

// Takes the figures of the ZIP64 end record when a locator right before the
// end record points at one that ends right at the locator. Otherwise the
// end record's own figures stand, read as they are (exactly 65,535 entries
// need no ZIP64 records).
void readZip64End(FileReader& file, EndRecord& end, const std::string& path) {
  if (end.position < kLocatorLength + kZip64EndLength) return;
  std::uint64_t locatorAt = end.position - kLocatorLength;
  std::string locator = readAt(file, locatorAt, kLocatorLength, path);
  Cursor cursor(locator, path);
  if (cursor.u32() != kZip64LocatorSignature) return;
  std::uint32_t recordDisk = cursor.u32();
  std::uint64_t recordAt = cursor.u64();
  if (recordDisk != 0 || recordAt > locatorAt - kZip64EndLength) return;
  std::string record = readAt(file, recordAt, kZip64EndLength, path);
  Cursor fields(record, path);
  if (fields.u32() != kZip64EndSignature || fields.u64() != locatorAt - recordAt - 12) return;
  fields.u16();
  fields.u16();
  std::uint32_t disk = fields.u32(), directoryDisk = fields.u32();
  std::uint64_t onDisk = fields.u64(), total = fields.u64();
  std::uint64_t size = fields.u64(), offset = fields.u64();
  if (disk != 0 || directoryDisk != 0 || onDisk != total) return;
  // A figure the end record gives in full must be the same there.
  if ((end.directorySize != kMax32 && end.directorySize != size) ||
      (end.directoryOffset != kMax32 && end.directoryOffset != offset))
    return;
  end.directorySize = size;
  end.directoryOffset = offset;
  end.directoryEnd = recordAt;
  end.zip64 = true;
}

bool oneDisk(const EndRecord& end) {
  auto zero = [&](std::uint16_t number) { return number == 0 || (end.zip64 && number == 0xFFFF); };
  return zero(end.disk) && zero(end.directoryDisk) && end.onDisk == end.total;
}

// Where the directory of an end record starts, if it can: it ends where the
// end records begin and opens with a central header. One that lies further
// on than its offset says has bytes before the archive that the offsets
// leave out (a program stub prepended later); never so with ZIP64 end
// records, whose locator counts from the start of the file.
std::optional<std::uint64_t> directoryStart(FileReader& file, const EndRecord& end,
                                            const std::string& path) {
  if (end.directorySize > end.directoryEnd) return std::nullopt;
  std::uint64_t start = end.directoryEnd - end.directorySize;
  if (end.directoryOffset > start) return std::nullopt;
  if (start != end.directoryOffset && (end.zip64 || end.directorySize == 0)) return std::nullopt;
  if (end.directorySize == 0) return start;
  if (end.directorySize < kCentralLength) return std::nullopt;
  if (Cursor(readAt(file, start, 4, path), path).u32() != kCentralSignature) return std::nullopt;
  return start;
}

struct FoundEnd {
  EndRecord end;
  std::uint64_t directoryStart = 0;
};

// The last end record whose directory checks out, looking past padding
// after it; one inside the comment of an earlier sound record is only text
// of that comment.
FoundEnd findEndRecord(FileReader& file, std::uint64_t fileSize, const std::string& path) {
  if (fileSize < kEndLength) damagedArchive(path);
  std::size_t tailSize = static_cast<std::size_t>(
      std::min<std::uint64_t>(fileSize, kEndLength + kMaxFieldLength + kMaxTrailer));
  std::uint64_t tailStart = fileSize - tailSize;
  std::string tail = readAt(file, tailStart, tailSize, path);
  std::optional<FoundEnd> found;
  for (std::size_t at = tailSize - kEndLength + 1; at-- > 0;) {
    if (tail.compare(at, 4, "PK\x05\x06", 4) != 0) continue;
    std::optional<EndRecord> end = parseEndRecord(tail, at, tailStart, path);
    if (!end) continue;
    readZip64End(file, *end, path);
    if (!oneDisk(*end)) continue;
    std::optional<std::uint64_t> start = directoryStart(file, *end, path);
    if (!start) continue;
    if (!found || end->end > found->end.position) found = FoundEnd{*end, *start};
  }
  if (!found) damagedArchive(path);
  return *found;
}

// The shared run of fields from the version needed to the two sizes, which
// stay as they are written (a ZIP64 field may stand for them).
void readEntryFields(Cursor& cursor, EntryFields& fields, std::uint32_t& compressed,
                     std::uint32_t& uncompressed) {
  fields.versionNeeded = cursor.u16();
  fields.flags = cursor.u16();
  fields.method = cursor.u16();
  fields.dosTime = cursor.u16();
  fields.dosDate = cursor.u16();
  fields.crc = cursor.u32();
  compressed = cursor.u32();
  uncompressed = cursor.u32();
}

Entry parseCentralHeader(Cursor& cursor, const std::string& path) {
  if (cursor.u32() != kCentralSignature) damagedArchive(path);
  Entry entry;
  entry.versionMadeBy = cursor.u16();
  std::uint32_t compressed, uncompressed;
  readEntryFields(cursor, entry, compressed, uncompressed);
  std::uint16_t nameLength = cursor.u16(), extraLength = cursor.u16(), commentLength = cursor.u16();
  std::uint16_t disk = cursor.u16();
  entry.internalAttributes = cursor.u16();
  entry.externalAttributes = cursor.u32();
  std::uint32_t offset = cursor.u32();
  entry.name = cursor.text(nameLength);
  std::string zip64, others;
  splitExtra(cursor.text(extraLength), zip64, others);
  entry.centralExtra = others;
  entry.comment = cursor.text(commentLength);
  Cursor wide(zip64, path);
  entry.uncompressedSize = uncompressed == kMax32 ? wide.u64() : uncompressed;
  entry.compressedSize = compressed == kMax32 ? wide.u64() : compressed;
  entry.localOffset = offset == kMax32 ? wide.u64() : offset;
  if (disk == 0xFFFF) disk = static_cast<std::uint16_t>(wide.u32());
  if (disk != 0) damagedArchive(path);
  entry.zip64Sizes = uncompressed == kMax32 || compressed == kMax32;
  return entry;
}

// The data descriptor after an entry's data: with or without its signature,
// with sizes of 8 bytes where the local header has a ZIP64 field, else of 4
// (the other width only when that alone matches), and its figures those of
// the central header. Its length, or damage.
std::uint64_t descriptorLength(FileReader& file, const Entry& entry, bool zip64, std::uint64_t at,
                               std::uint64_t limit, const std::string& path) {
  std::string bytes =
      readAt(file, at, static_cast<std::size_t>(std::min<std::uint64_t>(limit - at, 24)), path);
  for (bool wide : {zip64, !zip64}) {
    for (bool signature : {true, false}) {
      std::size_t length = (signature ? 4 : 0) + 4 + (wide ? 16 : 8);
      if (length > bytes.size()) continue;
      Cursor cursor(bytes, path);
      if (signature && cursor.u32() != kDescriptorSignature) continue;
      std::uint32_t crc = cursor.u32();
      std::uint64_t compressed = cursor.number(wide ? 8 : 4);
      std::uint64_t uncompressed = cursor.number(wide ? 8 : 4);
      if (crc == entry.crc && compressed == entry.compressedSize &&
          uncompressed == entry.uncompressedSize)
        return length;
    }
  }
  damagedArchive(path);
}

// The bytes of an entry up to limit: its local header, which must agree with
// the central one, its data and its data descriptor.
std::uint64_t measureRecord(FileReader& file, const Entry& entry, std::uint64_t limit,
                            const std::string& path) {
  if (!fits(entry.localOffset, kLocalLength, limit)) damagedArchive(path);
  LocalHeader local = readLocalHeader(file, entry.localOffset, path);
  bool descriptor = (local.flags & kDescriptorFlag) != 0;
  bool agrees =
      local.name == entry.name && local.method == entry.method &&
      descriptor == ((entry.flags & kDescriptorFlag) != 0) &&
      (descriptor || (local.crc == entry.crc && local.compressedSize == entry.compressedSize &&
                      local.uncompressedSize == entry.uncompressedSize));
  if (!agrees || !fits(entry.localOffset, local.length, limit) ||
      !fits(entry.localOffset + local.length, entry.compressedSize, limit))
    damagedArchive(path);
  std::uint64_t dataLength = local.length + entry.compressedSize;
  if (!descriptor) return dataLength;
  return dataLength +
         descriptorLength(file, entry, local.zip64, entry.localOffset + dataLength, limit, path);
}

}  // namespace

CentralDirectory readCentralDirectory(FileReader& file, const std::string& path) {
  std::optional<std::uint64_t> fileSize = file.size();
  if (!fileSize) damagedArchive(path);
  FoundEnd found = findEndRecord(file, *fileSize, path);
  const EndRecord& end = found.end;
  // More than one buffer can hold (on 32 bits): no archive this engine can keep.
  if (end.directorySize > std::string().max_size()) damagedArchive(path);
  // Offsets that leave out a stub before the archive are moved by its length.
  std::uint64_t shift = found.directoryStart - end.directoryOffset;
  CentralDirectory directory;
  directory.offset = found.directoryStart;
  directory.size = end.directorySize;
  directory.comment = end.comment;
  directory.trailer = readAt(file, end.end, static_cast<std::size_t>(*fileSize - end.end), path);
  std::string bytes =
      readAt(file, directory.offset, static_cast<std::size_t>(directory.size), path);
  Cursor cursor(bytes, path);
  while (cursor.position() < bytes.size()) {
    Entry entry = parseCentralHeader(cursor, path);
    if (entry.localOffset >= end.directoryOffset) damagedArchive(path);
    entry.localOffset += shift;
    directory.entries.push_back(std::move(entry));
  }
  return directory;
}

ExistingArchive readExistingArchive(FileReader& file, const std::string& path) {
  ExistingArchive archive{readCentralDirectory(file, path)};
  CentralDirectory& directory = archive.directory;
  std::vector<const Entry*> byOffset;
  for (Entry& entry : directory.entries) {
    entry.recordLength = measureRecord(file, entry, directory.offset, path);
    byOffset.push_back(&entry);
  }
  std::sort(byOffset.begin(), byOffset.end(),
            [](const Entry* a, const Entry* b) { return a->localOffset < b->localOffset; });
  // Two records that share bytes: one of them at least is not what it says.
  for (std::size_t i = 1; i < byOffset.size(); ++i) {
    if (byOffset[i - 1]->localOffset + byOffset[i - 1]->recordLength > byOffset[i]->localOffset)
      damagedArchive(path);
  }
  archive.prefixLength = byOffset.empty() ? directory.offset : byOffset.front()->localOffset;
  return archive;
}

LocalHeader readLocalHeader(FileReader& file, std::uint64_t offset, const std::string& path) {
  std::string fixed = readAt(file, offset, kLocalLength, path);
  Cursor cursor(fixed, path);
  if (cursor.u32() != kLocalSignature) damagedArchive(path);
  LocalHeader header;
  std::uint32_t compressed, uncompressed;
  readEntryFields(cursor, header, compressed, uncompressed);
  std::uint16_t nameLength = cursor.u16(), extraLength = cursor.u16();
  std::string rest = readAt(file, offset + kLocalLength, nameLength + extraLength, path);
  header.name = rest.substr(0, nameLength);
  std::string zip64, others;
  splitExtra(rest.substr(nameLength), zip64, others);
  header.zip64 = !zip64.empty();
  Cursor wide(zip64, path);
  header.uncompressedSize = uncompressed == kMax32 ? wide.u64() : uncompressed;
  header.compressedSize = compressed == kMax32 ? wide.u64() : compressed;
  header.length = kLocalLength + nameLength + extraLength;
  return header;
}

}  // namespace zip32
