#include "zip_format.h"

#include <algorithm>

#include "result.h"

namespace zip32 {

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
    if (size > bytes_.size() || at_ > bytes_.size() - size)
      throw ZipError(ResultCode::ArchiveDamaged, "書庫ファイルが壊れています: " + path_);
  }
  const std::string& bytes_;
  const std::string& path_;
  std::size_t at_;
};

[[noreturn]] void damaged(const std::string& path) {
  throw ZipError(ResultCode::ArchiveDamaged, "書庫ファイルが壊れています: " + path);
}

std::string readAt(FileReader& file, std::uint64_t offset, std::size_t size,
                   const std::string& path) {
  std::string bytes(size, '\0');
  if (!file.seek(offset)) damaged(path);
  std::size_t done = 0;
  while (done < size) {
    std::optional<std::size_t> got = file.read(bytes.data() + done, size - done);
    if (!got || *got == 0) damaged(path);
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
  put16(out, static_cast<std::uint32_t>(entry.name.size()));
  put16(out, static_cast<std::uint32_t>(extra.size()));
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
  put16(out, static_cast<std::uint32_t>(entry.name.size()));
  put16(out, static_cast<std::uint32_t>(extra.size()));
  put16(out, static_cast<std::uint32_t>(entry.comment.size()));
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
  put16(out, static_cast<std::uint32_t>(comment.size()));
  return out + comment;
}

namespace {

struct EndRecord {
  std::uint64_t position = 0;
  std::uint64_t entryCount = 0, directorySize = 0, directoryOffset = 0;
  std::string comment;
  bool needsZip64 = false;
};

EndRecord findEndRecord(FileReader& file, std::uint64_t fileSize, const std::string& path) {
  if (fileSize < kEndLength) damaged(path);
  std::size_t tailSize =
      static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kEndLength + 0xFFFF));
  std::uint64_t tailStart = fileSize - tailSize;
  std::string tail = readAt(file, tailStart, tailSize, path);
  for (std::size_t at = tailSize - kEndLength + 1; at-- > 0;) {
    Cursor cursor(tail, path, at);
    if (cursor.u32() != kEndSignature) continue;
    std::uint16_t disk = cursor.u16(), directoryDisk = cursor.u16();
    std::uint16_t onDisk = cursor.u16(), total = cursor.u16();
    std::uint32_t size = cursor.u32(), offset = cursor.u32();
    std::uint16_t commentLength = cursor.u16();
    if (at + kEndLength + commentLength != tailSize) continue;  // a signature inside the comment
    if (disk != 0 || directoryDisk != 0 || onDisk != total) damaged(path);
    EndRecord end;
    end.position = tailStart + at;
    end.entryCount = total;
    end.directorySize = size;
    end.directoryOffset = offset;
    end.comment = cursor.text(commentLength);
    end.needsZip64 = total == 0xFFFF || size == kMax32 || offset == kMax32;
    return end;
  }
  damaged(path);
}

// Takes the figures of the ZIP64 end record when its locator is there.
void readZip64End(FileReader& file, EndRecord& end, const std::string& path) {
  if (end.position < kLocatorLength) {
    if (end.needsZip64) damaged(path);
    return;
  }
  std::string locator = readAt(file, end.position - kLocatorLength, kLocatorLength, path);
  Cursor cursor(locator, path);
  if (cursor.u32() != kZip64LocatorSignature) {
    if (end.needsZip64) damaged(path);
    return;
  }
  cursor.u32();
  std::uint64_t recordOffset = cursor.u64();
  if (recordOffset + kZip64EndLength > end.position - kLocatorLength) damaged(path);
  std::string record = readAt(file, recordOffset, kZip64EndLength, path);
  Cursor fields(record, path);
  if (fields.u32() != kZip64EndSignature) damaged(path);
  fields.u64();
  fields.u16();
  fields.u16();
  if (fields.u32() != 0 || fields.u32() != 0) damaged(path);
  std::uint64_t onDisk = fields.u64(), total = fields.u64();
  if (onDisk != total) damaged(path);
  end.entryCount = total;
  end.directorySize = fields.u64();
  end.directoryOffset = fields.u64();
  end.position = recordOffset;
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
  if (cursor.u32() != kCentralSignature) damaged(path);
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
  if (disk != 0) damaged(path);
  entry.zip64Sizes = uncompressed == kMax32 || compressed == kMax32;
  return entry;
}

}  // namespace

CentralDirectory readCentralDirectory(FileReader& file, const std::string& path) {
  std::optional<std::uint64_t> fileSize = file.size();
  if (!fileSize) damaged(path);
  EndRecord end = findEndRecord(file, *fileSize, path);
  readZip64End(file, end, path);
  if (end.directoryOffset > end.position || end.directorySize > end.position - end.directoryOffset)
    damaged(path);
  // Every central header takes at least 46 bytes: a count beyond that is a lie.
  if (end.entryCount > end.directorySize / 46) damaged(path);
  std::string bytes =
      readAt(file, end.directoryOffset, static_cast<std::size_t>(end.directorySize), path);
  CentralDirectory directory;
  directory.offset = end.directoryOffset;
  directory.size = end.directorySize;
  directory.comment = end.comment;
  Cursor cursor(bytes, path);
  for (std::uint64_t i = 0; i < end.entryCount; ++i) {
    Entry entry = parseCentralHeader(cursor, path);
    if (entry.localOffset >= end.directoryOffset) damaged(path);
    directory.entries.push_back(std::move(entry));
  }
  return directory;
}

LocalHeader readLocalHeader(FileReader& file, std::uint64_t offset, const std::string& path) {
  std::string fixed = readAt(file, offset, 30, path);
  Cursor cursor(fixed, path);
  if (cursor.u32() != kLocalSignature) damaged(path);
  LocalHeader header;
  std::uint32_t compressed, uncompressed;
  readEntryFields(cursor, header, compressed, uncompressed);
  std::uint16_t nameLength = cursor.u16(), extraLength = cursor.u16();
  std::string rest = readAt(file, offset + 30, nameLength + extraLength, path);
  header.name = rest.substr(0, nameLength);
  std::string zip64, others;
  splitExtra(rest.substr(nameLength), zip64, others);
  header.zip64 = !zip64.empty();
  Cursor wide(zip64, path);
  header.uncompressedSize = uncompressed == kMax32 ? wide.u64() : uncompressed;
  header.compressedSize = compressed == kMax32 ? wide.u64() : compressed;
  header.length = 30 + nameLength + extraLength;
  return header;
}

std::uint64_t dataDescriptorLength(FileReader& file, const Entry& entry, std::uint64_t at,
                                   const std::string& path) {
  if ((entry.flags & 0x08) == 0) return 0;
  std::string head = readAt(file, at, 4, path);
  bool signature = Cursor(head, path).u32() == kDescriptorSignature;
  return (signature ? 4 : 0) + 4 + (entry.zip64Sizes ? 16 : 8);
}

}  // namespace zip32
