#include "engine.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "name_key.h"
#include "parallel_deflate.h"
#include "pattern.h"
#include "raw_deflate.h"
#include "zip_format.h"

namespace zip32 {

namespace {

constexpr std::size_t kChunk = 256 * 1024;
constexpr std::size_t kOutputBuffer = 1024 * 1024;
// Room for the headers and the directory of a small archive, beside its data.
constexpr std::uint64_t kHeadersRoom = 64 * 1024;
// What zlib keeps in its window beyond the farthest match (MIN_LOOKAHEAD).
constexpr std::uint64_t kLookahead = 262;
// Entries from this size on deflate on every core.
constexpr std::uint64_t kParallelFrom = 4 * 1024 * 1024;

[[noreturn]] void fail(ResultCode code, const std::string& message) {
  throw ZipError(code, message);
}

// What kept an input from being read or the archive from being written,
// in the user's words; by default the fault of the file call that just failed.
const char* inputFault(FileFault fault) {
  switch (fault) {
    case FileFault::NotFound:
      return "ファイルが見つかりません: ";
    case FileFault::InUse:
      return "ファイルが他のプログラムで使用中です: ";
    case FileFault::AccessDenied:
      return "ファイルへのアクセスが拒否されました: ";
    case FileFault::BadName:
      return "ファイル名が正しくないか、システムの文字コードで表せません: ";
    default:
      return "ファイルを読み込めません: ";
  }
}

const char* archiveFault(FileFault fault) {
  switch (fault) {
    case FileFault::NotFound:
      return "書庫ファイルを置くフォルダが見つかりません: ";
    case FileFault::InUse:
      return "書庫ファイルが他のプログラムで使用中です: ";
    case FileFault::AccessDenied:
      return "書庫ファイルへの書き込みが拒否されました: ";
    case FileFault::DiskFull:
      return "ディスクの空き容量が足りません: ";
    case FileFault::BadName:
      return "書庫ファイルの名前が正しくないか、システムの文字コードで表せません: ";
    default:
      return "書庫ファイルに書き込めません: ";
  }
}

[[noreturn]] void notWritable(const std::string& path, FileFault fault = lastFileFault()) {
  fail(ResultCode::ArchiveNotWritable, archiveFault(fault) + path);
}

[[noreturn]] void unreadable(const std::string& path, FileFault fault = lastFileFault()) {
  fail(ResultCode::InputUnreadable, inputFault(fault) + path);
}

// Buffered writing to the temporary archive, keeping track of the position.
// What is still in the buffer is changed there: a small archive reaches the
// file in one write, its headers written again and its tail cut in memory.
class Output {
 public:
  Output(FileWriter& file, const std::string& path, std::uint64_t expectedSize)
      : file_(file), path_(path) {
    buffer_.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(expectedSize, kOutputBuffer)));
  }

  void write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    if (buffer_.size() + size > kOutputBuffer) drain();
    if (size >= kOutputBuffer) {
      if (!file_.write(bytes, size)) notWritable(path_);
      bufferStart_ += size;
      fileSize_ = std::max(fileSize_, bufferStart_);
    } else {
      buffer_.insert(buffer_.end(), bytes, bytes + size);
    }
    position_ += size;
  }
  void write(const std::string& bytes) { write(bytes.data(), bytes.size()); }

  // Writes over what was written at an earlier position; the position stays.
  void overwrite(std::uint64_t at, const std::string& bytes) {
    if (at >= bufferStart_ && at + bytes.size() <= position_) {
      std::copy(bytes.begin(), bytes.end(), buffer_.begin() + (at - bufferStart_));
      return;
    }
    drain();
    if (!file_.seek(at) || !file_.write(bytes.data(), bytes.size()) || !file_.seek(position_))
      notWritable(path_);
  }
  // Goes back to an earlier position; what comes after it is written anew.
  void rewind(std::uint64_t to) {
    if (to >= bufferStart_) {
      buffer_.resize(static_cast<std::size_t>(to - bufferStart_));
    } else {
      buffer_.clear();
      if (!file_.seek(to)) notWritable(path_);
      bufferStart_ = to;
    }
    position_ = to;
  }
  // Ends the file at the position (cutting what a rewind left behind) and flushes it to the disk.
  void finish() {
    drain();
    if ((fileSize_ > position_ && !file_.truncate()) || !file_.flush()) notWritable(path_);
  }
  std::uint64_t position() const { return position_; }

 private:
  void drain() {
    if (!buffer_.empty() && !file_.write(buffer_.data(), buffer_.size())) notWritable(path_);
    bufferStart_ += buffer_.size();
    fileSize_ = std::max(fileSize_, bufferStart_);
    buffer_.clear();
  }

  FileWriter& file_;
  const std::string& path_;
  std::vector<char> buffer_;
  std::uint64_t bufferStart_ = 0;  // the file position of the buffer's first byte
  std::uint64_t fileSize_ = 0;     // how far the file has been written
  std::uint64_t position_ = 0;
};

// The temporary file beside the archive; removed unless it became the archive.
class TemporaryArchive {
 public:
  TemporaryArchive(FileSystem& fileSystem, const std::string& archive, const CodePage& codePage)
      : fileSystem_(fileSystem) {
    std::string folder = folderPart(archive, codePage);
    auto seed =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
      char suffix[32];
      std::snprintf(suffix, sizeof suffix, "~zip%08x.tmp",
                    static_cast<unsigned>((seed + attempt * 7919u) & 0xFFFFFFFFu));
      std::string candidate = folder + suffix;
      CreateStatus status = CreateStatus::Failed;
      writer_ = fileSystem_.createNew(candidate, status);
      if (status == CreateStatus::Created && writer_) {
        path_ = candidate;
        return;
      }
      if (status != CreateStatus::Exists) break;
    }
    notWritable(archive);
  }
  ~TemporaryArchive() {
    writer_.reset();
    if (!path_.empty()) fileSystem_.remove(path_);
  }
  TemporaryArchive(const TemporaryArchive&) = delete;
  TemporaryArchive& operator=(const TemporaryArchive&) = delete;

  FileWriter& writer() { return *writer_; }
  const std::string& path() const { return path_; }
  void commit(const std::string& archive) {
    writer_.reset();
    if (!fileSystem_.replace(path_, archive)) notWritable(archive);
    path_.clear();
  }

 private:
  FileSystem& fileSystem_;
  std::unique_ptr<FileWriter> writer_;
  std::string path_;
};

class Deflater {
 public:
  // The window need not be larger than the input (and its lookahead) to give
  // the same bytes; a small window is less memory to set up for a small file.
  Deflater(int level, std::uint64_t inputSize) : stream_(level, windowBitsFor(inputSize)) {}

  // Feeds input (finish on the last piece) and hands each full output piece to sink.
  template <typename Sink>
  void feed(const unsigned char* data, std::size_t size, bool finish,
            std::vector<unsigned char>& out, Sink&& sink) {
    z_stream* stream = stream_.get();
    stream->next_in = const_cast<unsigned char*>(data);
    stream->avail_in = static_cast<uInt>(size);
    int result;
    do {
      stream->next_out = out.data();
      stream->avail_out = static_cast<uInt>(out.size());
      result = deflate(stream, finish ? Z_FINISH : Z_NO_FLUSH);
      if (result == Z_STREAM_ERROR) throw std::bad_alloc();
      sink(out.data(), out.size() - stream->avail_out);
    } while (stream->avail_out == 0 || (finish && result != Z_STREAM_END));
  }

 private:
  static int windowBitsFor(std::uint64_t inputSize) {
    int windowBits = 9;
    while (windowBits < MAX_WBITS && (std::uint64_t{1} << windowBits) < inputSize + kLookahead)
      ++windowBits;
    return windowBits;
  }

  RawDeflateStream stream_;
};

// Whether the entry's central header will carry ZIP64 fields; the local
// header then names the same version needed.
bool needsZip64(const Entry& entry) {
  return entry.zip64Sizes || entry.localOffset >= kMax32;
}

std::uint16_t deflateFlags(int level) {
  if (level >= 8) return 2;  // maximum
  if (level == 2) return 4;  // fast
  if (level == 1) return 6;  // super fast
  return 0;
}

std::string extraField(std::uint16_t tag, const std::string& body) {
  std::string field;
  field += static_cast<char>(tag & 0xFF);
  field += static_cast<char>(tag >> 8);
  field += static_cast<char>(body.size() & 0xFF);
  field += static_cast<char>(body.size() >> 8);
  return field + body;
}

std::string le32(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

std::uint32_t crcOf(const std::string& bytes) {
  return static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// The UTC modification time (0x5455) and, for a real name that is not ASCII, the real name in
// UTF-8 (0x7075) with the CRC of the name field it stands for.
std::string extraFields(const Source& source, const CodePage& codePage) {
  // Readers take the field as a signed 32-bit count of seconds.
  std::int64_t utc = std::clamp<std::int64_t>(source.info.modifiedUtc, 0, 0x7FFFFFFFLL);
  std::string extra =
      extraField(0x5455, std::string(1, '\x01') + le32(static_cast<std::uint32_t>(utc)));
  const std::string& utf8 =
      source.unicodeName.empty() ? codePage.toUtf8(source.name) : source.unicodeName;
  if (!isAscii(utf8))
    extra += extraField(0x7075, std::string(1, '\x01') + le32(crcOf(source.name)) + utf8);
  return extra;
}

// A new entry is the file its real name names: cafe.txt, the name field of
// café.txt, must not replace an entry of the file cafe.txt.
std::string sourceKey(const Source& source, const CodePage& codePage) {
  return source.unicodeName.empty() ? nameKey(source.name, codePage)
                                    : nameKeyOfUtf8(source.unicodeName);
}

// Whether a new entry's name and extra fields fit their length fields, a ZIP64 field beside them.
bool fitsHeaders(const Source& source, const CodePage& codePage) {
  return source.name.size() <= kMaxFieldLength &&
         extraFields(source, codePage).size() + kMaxZip64FieldLength <= kMaxFieldLength;
}

class ArchiveBuilder {
 public:
  ArchiveBuilder(const ArchiveRequest& request, FileSystem& fileSystem, const CodePage& codePage,
                 Progress& progress, Output& out, std::uint64_t total)
      : request_(request),
        fileSystem_(fileSystem),
        codePage_(codePage),
        progress_(progress),
        out_(out),
        total_(total),
        input_(kChunk),
        // Deflate's output of a small archive needs no more than its input.
        compressed_(static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, total + 1024))) {}

  // Bytes of the old archive as they are: an entry's record, or what lies before the first one.
  void copyBytes(FileReader& archive, std::uint64_t start, std::uint64_t length,
                 const std::string& label) {
    if (!archive.seek(start)) damagedArchive(request_.archive);
    for (std::uint64_t left = length; left > 0;) {
      std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunk));
      std::optional<std::size_t> got = archive.read(input_.data(), piece);
      if (!got || *got == 0) damagedArchive(request_.archive);
      out_.write(input_.data(), *got);
      left -= *got;
      advance(label, *got);
    }
  }

  Entry copyEntry(const Entry& old, FileReader& archive) {
    Entry entry = old;
    entry.localOffset = out_.position();
    copyBytes(archive, old.localOffset, old.recordLength, old.name);
    return entry;
  }

  Entry addEntry(const Source& source) {
    std::unique_ptr<FileReader> file = fileSystem_.openRead(source.path);
    if (!file) unreadable(source.path);
    Entry entry = newEntry(source);
    advance(source.name, 0);  // shows the name before the first piece is read
    out_.write(localHeader(entry));
    std::uint64_t dataStart = out_.position();
    std::uint64_t doneBefore = done_;
    if (entry.method == kDeflated) {
      // Asking for the cores costs a system call: small entries do not ask.
      unsigned threads = source.info.size >= kParallelFrom ? ParallelDeflate::machineThreads() : 1;
      if (threads > 1) {
        deflateParallel(entry, *file, source, threads);
      } else {
        deflateData(entry, *file, source);
      }
    }
    if (entry.method == kDeflated && entry.compressedSize >= entry.uncompressedSize) {
      // Deflate did not shrink it: store it instead, over what was written.
      if (!file->seek(0)) unreadable(source.path);
      out_.rewind(dataStart);
      done_ = doneBefore;
      entry.method = kStored;
      entry.flags = 0;
      entry.versionNeeded = needsZip64(entry) ? 45 : 10;
    }
    if (entry.method == kStored) storeData(entry, *file, source);
    out_.overwrite(entry.localOffset, localHeader(entry));
    return entry;
  }

 private:
  Entry newEntry(const Source& source) {
    Entry entry;
    entry.name = source.name;
    entry.localOffset = out_.position();
    entry.uncompressedSize = source.info.size;
    entry.zip64Sizes = source.info.size >= kMax32;
    bool deflated = request_.level > 0 && source.info.size > 0;
    entry.method = deflated ? kDeflated : kStored;
    entry.flags = deflated ? deflateFlags(request_.level) : 0;
    entry.versionNeeded = needsZip64(entry) ? 45 : deflated ? 20 : 10;
    std::uint32_t dos = dosDateTime(fileSystem_.localTime(source.info.modifiedUtc));
    entry.dosDate = static_cast<std::uint16_t>(dos >> 16);
    entry.dosTime = static_cast<std::uint16_t>(dos & 0xFFFF);
    entry.externalAttributes = source.info.attributes & 0xFF;
    entry.localExtra = extraFields(source, codePage_);
    entry.centralExtra = entry.localExtra;
    return entry;
  }

  // Reads the next piece of an input; the read size must add up to the size seen before.
  std::size_t readPiece(FileReader& file, const Source& source, std::uint64_t readSoFar) {
    return readInto(file, source, input_.data(), input_.size(), readSoFar);
  }

  std::size_t readInto(FileReader& file, const Source& source, unsigned char* buffer,
                       std::size_t size, std::uint64_t readSoFar) {
    std::optional<std::size_t> got = file.read(buffer, size);
    if (!got) unreadable(source.path);
    if (readSoFar + *got > source.info.size || (*got == 0 && readSoFar != source.info.size))
      fail(ResultCode::InputUnreadable, "読み込み中にファイルが変更されました: " + source.path);
    return *got;
  }

  void deflateParallel(Entry& entry, FileReader& file, const Source& source, unsigned threads) {
    std::uint64_t readSoFar = 0;
    auto read = [&](unsigned char* buffer, std::size_t size) {
      std::size_t filled = 0;
      while (filled < size) {
        std::size_t got = readInto(file, source, buffer + filled, size - filled, readSoFar);
        if (got == 0) break;
        filled += got;
        readSoFar += got;
      }
      return filled;
    };
    std::uint64_t written = 0;
    auto write = [&](const unsigned char* data, std::size_t size, std::size_t inputBytes) {
      out_.write(data, size);
      written += size;
      advance(source.name, inputBytes);
      return written <= entry.uncompressedSize;  // past that, storing wins
    };
    DeflateTotals totals = ParallelDeflate(request_.level, threads).run(read, write);
    entry.crc = totals.crc;
    entry.compressedSize = totals.outputSize;
  }

  void deflateData(Entry& entry, FileReader& file, const Source& source) {
    Deflater deflater(request_.level, source.info.size);
    std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
    std::uint64_t readSoFar = 0, written = 0;
    auto sink = [&](const unsigned char* data, std::size_t size) {
      out_.write(data, size);
      written += size;
    };
    for (;;) {
      std::size_t got = readPiece(file, source, readSoFar);
      readSoFar += got;
      crc = static_cast<std::uint32_t>(crc32(crc, input_.data(), static_cast<uInt>(got)));
      deflater.feed(input_.data(), got, got == 0, compressed_, sink);
      if (got == 0) break;
      advance(source.name, got);
      // Once the output outgrows the input, storing wins: stop early.
      if (written > entry.uncompressedSize) break;
    }
    entry.crc = crc;
    entry.compressedSize = written;
  }

  void storeData(Entry& entry, FileReader& file, const Source& source) {
    std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
    std::uint64_t readSoFar = 0;
    for (std::size_t got; (got = readPiece(file, source, readSoFar)) > 0;) {
      readSoFar += got;
      crc = static_cast<std::uint32_t>(crc32(crc, input_.data(), static_cast<uInt>(got)));
      out_.write(input_.data(), got);
      advance(source.name, got);
    }
    entry.crc = crc;
    entry.compressedSize = readSoFar;
  }

  void advance(const std::string& name, std::uint64_t bytes) {
    done_ += bytes;
    if (!progress_.onProgress(name, done_, total_)) fail(ResultCode::Cancelled, "中止しました。");
  }

  const ArchiveRequest& request_;
  FileSystem& fileSystem_;
  const CodePage& codePage_;
  Progress& progress_;
  Output& out_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
  std::vector<unsigned char> input_;
  std::vector<unsigned char> compressed_;
};

// Reads the finished file back: its central directory must list what was
// written, and every local header must agree with its central header.
void verify(FileReader& file, const std::string& path, const std::vector<Entry>& written,
            const std::string& archive) {
  try {
    CentralDirectory directory = readCentralDirectory(file, path);
    if (directory.entries.size() != written.size()) notWritable(archive, FileFault::Other);
    for (std::size_t i = 0; i < written.size(); ++i) {
      const Entry& central = directory.entries[i];
      const Entry& expected = written[i];
      LocalHeader local = readLocalHeader(file, central.localOffset, path);
      bool sameCentral = central.name == expected.name && central.crc == expected.crc &&
                         central.compressedSize == expected.compressedSize &&
                         central.uncompressedSize == expected.uncompressedSize &&
                         central.localOffset == expected.localOffset &&
                         central.method == expected.method;
      bool localAgrees =
          local.name == central.name && local.method == central.method &&
          ((central.flags & 0x08) != 0 ||
           (local.crc == central.crc && local.compressedSize == central.compressedSize &&
            local.uncompressedSize == central.uncompressedSize));
      if (!sameCentral || !localAgrees) notWritable(archive, FileFault::Other);
    }
  } catch (const ZipError& error) {
    if (error.code() == ResultCode::ArchiveDamaged) notWritable(archive, FileFault::Other);
    throw;
  }
}

}  // namespace

std::uint32_t dosDateTime(const LocalTime& time) {
  if (time.year < 1980) return (0 << 25 | 1 << 21 | 1 << 16);
  if (time.year > 2107) return (127u << 25 | 12u << 21 | 31u << 16 | 23u << 11 | 59u << 5 | 29u);
  return static_cast<std::uint32_t>((time.year - 1980) << 25 | time.month << 21 | time.day << 16 |
                                    time.hour << 11 | time.minute << 5 | time.second / 2);
}

std::vector<Source> resolveInputs(const ArchiveRequest& request, FileSystem& fileSystem,
                                  const CodePage& codePage) {
  std::vector<Source> sources;
  std::unordered_map<std::string, std::size_t> byKey;  // name key to its source
  auto add = [&](const std::string& path, const FileInfo& info) {
    EntryNames names = entryNames(path, request.junkPaths, fileSystem, codePage);
    Source source{path, names.name, info, names.unicodeName};
    if (source.name.empty()) unreadable(path, FileFault::Other);
    auto [known, added] = byKey.emplace(sourceKey(source, codePage), sources.size());
    if (!added) {
      if (fileSystem.sameFile(sources[known->second].path, path)) return;
      fail(ResultCode::BadCommandLine, "同じ名前のファイルが複数あります: " + source.name);
    }
    if (!fitsHeaders(source, codePage))
      fail(ResultCode::BadCommandLine, "名前が長すぎて書庫に入りません: " + source.name);
    sources.push_back(source);
  };
  // Patterns that share a folder list it once.
  std::unordered_map<std::string, std::vector<std::string>> listings;
  auto listing = [&](const std::string& folder) -> const std::vector<std::string>& {
    auto found = listings.find(folder);
    if (found != listings.end()) return found->second;
    std::vector<std::string> names = fileSystem.list(folder).value_or(std::vector<std::string>{});
    std::sort(names.begin(), names.end());
    return listings.emplace(folder, std::move(names)).first->second;
  };
  for (const std::string& text : request.patterns) {
    std::string folderText = folderPart(text, codePage);
    std::optional<Pattern> folder = Pattern::compile(folderText, codePage);
    std::optional<Pattern> name = Pattern::compile(leafName(text, codePage), codePage);
    if (!folder || !name) fail(ResultCode::BadCommandLine, "角括弧が閉じていません: " + text);
    if (folder->isWild())
      fail(ResultCode::BadCommandLine, "フォルダ名にワイルドカードは使えません: " + text);
    std::string folderPath = folder->literal();
    if (!name->isWild()) {
      std::string path = folderPath + name->literal();
      std::optional<FileInfo> info = fileSystem.stat(path);
      if (!info) unreadable(path);
      if (info->isDirectory) fail(ResultCode::InputUnreadable, "フォルダは圧縮できません: " + path);
      add(path, *info);
      continue;
    }
    bool any = false;
    for (const std::string& entry : listing(folderPath)) {
      if (!name->matches(entry)) continue;
      std::optional<FileInfo> info = fileSystem.stat(folderPath + entry);
      if (!info || info->isDirectory) continue;
      add(folderPath + entry, *info);
      any = true;
    }
    if (!any) fail(ResultCode::NoFileMatched, "該当するファイルがありません: " + text);
  }
  return sources;
}

namespace {

Outcome build(const ArchiveRequest& request, FileSystem& fileSystem, const CodePage& codePage,
              Progress& progress) {
  if (request.level < 0 || request.level > 9)
    fail(ResultCode::BadCommandLine, "圧縮レベルは 0 から 9 です。");
  if (request.archive.empty() || request.patterns.empty())
    fail(ResultCode::BadCommandLine, "コマンドラインが正しくありません。");
  std::vector<Source> sources = resolveInputs(request, fileSystem, codePage);

  std::optional<FileInfo> existing = fileSystem.stat(request.archive);
  // A read-only archive stays as it is, even where the system would let a rename replace it.
  if (existing && existing->isDirectory)
    fail(ResultCode::ArchiveNotWritable,
         "書庫ファイルと同じ名前のフォルダがあります: " + request.archive);
  if (existing && (existing->attributes & 0x01) != 0)
    fail(ResultCode::ArchiveNotWritable, "書庫ファイルが読み取り専用です: " + request.archive);
  std::unique_ptr<FileReader> oldArchive;
  ExistingArchive old;
  if (existing) {
    for (const Source& source : sources) {
      if (fileSystem.sameFile(source.path, request.archive))
        fail(ResultCode::ArchiveIsInput, "書庫ファイル自身は圧縮できません: " + source.path);
    }
    oldArchive = fileSystem.openRead(request.archive);
    if (!oldArchive) notWritable(request.archive);
    old = readExistingArchive(*oldArchive, request.archive);
  }

  std::unordered_set<std::string> replaced;
  std::uint64_t total = old.prefixLength;
  for (const Source& source : sources) {
    replaced.insert(sourceKey(source, codePage));
    total += source.info.size;
  }
  std::vector<const Entry*> kept;
  for (const Entry& entry : old.directory.entries) {
    if (replaced.count(nameKey(entry, codePage)) == 0) {
      kept.push_back(&entry);
      total += entry.recordLength;
    }
  }

  TemporaryArchive temporary(fileSystem, request.archive, codePage);
  Output out(temporary.writer(), request.archive, total + kHeadersRoom);
  ArchiveBuilder builder(request, fileSystem, codePage, progress, out, total);
  // What lies before the first entry (a program stub) stays in front of them.
  if (old.prefixLength > 0)
    builder.copyBytes(*oldArchive, 0, old.prefixLength, leafName(request.archive, codePage));
  std::vector<Entry> written;
  for (const Entry* entry : kept) written.push_back(builder.copyEntry(*entry, *oldArchive));
  for (const Source& source : sources) written.push_back(builder.addEntry(source));
  std::uint64_t directoryOffset = out.position();
  for (const Entry& entry : written) out.write(centralHeader(entry));
  std::uint64_t directorySize = out.position() - directoryOffset;
  out.write(endRecords(written.size(), directoryOffset, directorySize, old.directory.comment));
  out.write(old.directory.trailer);
  out.finish();
  oldArchive.reset();
  verify(temporary.writer(), temporary.path(), written, request.archive);
  temporary.commit(request.archive);
  return {ResultCode::Ok, "書庫を作成しました: " + request.archive};
}

}  // namespace

Outcome makeArchive(const ArchiveRequest& request, FileSystem& fileSystem, const CodePage& codePage,
                    Progress& progress) {
  try {
    return build(request, fileSystem, codePage, progress);
  } catch (const ZipError& error) {
    return {error.code(), error.what()};
  } catch (const std::bad_alloc&) {
    return {ResultCode::OutOfMemory, "メモリが足りません。"};
  } catch (const std::exception& error) {
    return {ResultCode::ArchiveNotWritable, std::string("書庫を作成できません: ") + error.what()};
  }
}

}  // namespace zip32
