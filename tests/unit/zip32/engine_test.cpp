#include "engine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>
#include <zlib.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <map>
#include <random>

#include "zip_check.h"
#include "zip_format.h"

namespace zip32 {
namespace {

using test::randomBytes;
using test::textLike;

using test::checkArchive;
using test::readFile;
using test::TempFolder;
using test::writeFile;

const ShiftJis kShiftJis;

CentralDirectory directoryOf(const std::string& archive) {
  std::unique_ptr<FileReader> file = systemFileSystem().openRead(archive);
  return readCentralDirectory(*file, archive);
}

const Entry& entryNamed(const CentralDirectory& directory, const std::string& name) {
  for (const Entry& entry : directory.entries) {
    if (entry.name == name) return entry;
  }
  throw std::runtime_error("no entry " + name);
}

// The local header and data of an entry, as bytes of the archive file.
std::string recordBytes(const std::string& archive, const Entry& entry) {
  std::unique_ptr<FileReader> file = systemFileSystem().openRead(archive);
  LocalHeader local = readLocalHeader(*file, entry.localOffset, archive);
  return readFile(archive).substr(entry.localOffset, local.length + entry.compressedSize);
}

class EngineTest : public ::testing::Test {
 protected:
  Outcome run(const std::string& archive, std::vector<std::string> patterns, int level = 6,
              bool junk = true, FileSystem* fileSystem = nullptr, Progress* progress = nullptr) {
    ArchiveRequest request{level, junk, archive, std::move(patterns)};
    return makeArchive(request, fileSystem ? *fileSystem : systemFileSystem(), kShiftJis,
                       progress ? *progress : noProgress_);
  }
  std::string at(const std::string& name) const { return folder_.path() + name; }

  TempFolder folder_;
  NoProgress noProgress_;
};

TEST_F(EngineTest, WritesEntriesEveryReaderAccepts) {
  writeFile(at("text.txt"), textLike(300000));
  writeFile(at("random.bin"), randomBytes(100000));
  writeFile(at("empty.txt"), "");
  writeFile(at("表データー[1].txt"), "名前のテスト");
  struct Case {
    int level;
    std::uint16_t textFlags;
  } cases[] = {{0, 0}, {1, 6}, {2, 4}, {6, 0}, {9, 2}};
  for (const Case& c : cases) {
    std::string archive = at("out" + std::to_string(c.level) + ".zip");
    Outcome outcome =
        run(archive, {at("text.txt"), at("random.bin"), at("empty.txt"), at("表データー[[]1].txt")},
            c.level);
    ASSERT_EQ(outcome.code, ResultCode::Ok) << outcome.message;
    EXPECT_EQ(checkArchive(archive, {"text.txt", "random.bin", "empty.txt", "表データー[1].txt"}),
              "");
    CentralDirectory directory = directoryOf(archive);
    const Entry& text = entryNamed(directory, "text.txt");
    EXPECT_EQ(text.method, c.level == 0 ? kStored : kDeflated) << c.level;
    EXPECT_EQ(text.flags, c.textFlags) << c.level;
    EXPECT_EQ(text.versionNeeded, c.level == 0 ? 10 : 20);
    // Random data does not shrink and an empty file has nothing to shrink: both stored.
    EXPECT_EQ(entryNamed(directory, "random.bin").method, kStored);
    EXPECT_EQ(entryNamed(directory, "random.bin").compressedSize, 100000u);
    EXPECT_EQ(entryNamed(directory, "empty.txt").method, kStored);
    // The Unicode path is there for the Japanese name only.
    EXPECT_NE(entryNamed(directory, "表データー[1].txt").centralExtra.find("\x75\x70", 0, 2),
              std::string::npos);
    EXPECT_EQ(text.centralExtra.find("\x75\x70", 0, 2), std::string::npos);
  }
  EXPECT_EQ(folder_.names().size(), 9u) << "no temporary file left";
}

TEST_F(EngineTest, DeflatesToWhatZlibGivesAtTheLevel) {
  std::string data = textLike(500000);
  writeFile(at("a.txt"), data);
  for (int level : {1, 6, 9}) {
    ASSERT_EQ(run(at("a.zip"), {at("a.txt")}, level).code, ResultCode::Ok);
    uLongf bound = compressBound(static_cast<uLong>(data.size()));
    std::string zlibOut(bound, '\0');
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    stream.next_in = reinterpret_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(zlibOut.data());
    stream.avail_out = static_cast<uInt>(bound);
    ASSERT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    deflateEnd(&stream);
    EXPECT_LE(directoryOf(at("a.zip")).entries.at(0).compressedSize, stream.total_out) << level;
  }
}

// A small file deflates with a window no larger than it needs: the bytes
// are still exactly zlib's with its full window, at the sizes around the
// window steps too.
TEST_F(EngineTest, SmallFilesDeflateToExactlyZlibsBytes) {
  for (std::size_t size : {1u, 250u, 251u, 5000u, 16122u, 16123u, 32506u, 32507u, 70000u}) {
    std::string data = textLike(size);
    writeFile(at("s.txt"), data);
    for (int level : {1, 6, 9}) {
      ASSERT_EQ(run(at("s.zip"), {at("s.txt")}, level).code, ResultCode::Ok);
      std::string zlibOut(compressBound(static_cast<uLong>(size)) + 16, '\0');
      z_stream stream{};
      deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
      stream.next_in = reinterpret_cast<Bytef*>(data.data());
      stream.avail_in = static_cast<uInt>(size);
      stream.next_out = reinterpret_cast<Bytef*>(zlibOut.data());
      stream.avail_out = static_cast<uInt>(zlibOut.size());
      ASSERT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
      zlibOut.resize(stream.total_out);
      deflateEnd(&stream);
      const Entry entry = directoryOf(at("s.zip")).entries.at(0);
      if (entry.method == kStored) {
        EXPECT_GE(zlibOut.size(), size) << size << " stored at " << level;
        continue;
      }
      std::unique_ptr<FileReader> file = systemFileSystem().openRead(at("s.zip"));
      std::uint64_t start = readLocalHeader(*file, 0, "s.zip").length;
      EXPECT_EQ(readFile(at("s.zip")).substr(start, entry.compressedSize), zlibOut)
          << size << " at level " << level;
    }
  }
}

TEST_F(EngineTest, BigEntriesDeflateOnEveryCoreAndStillEveryReaderAccepts) {
  writeFile(at("big.txt"), textLike(9 * 1024 * 1024 + 17));
  writeFile(at("noise.bin"), randomBytes(5 * 1024 * 1024));  // deflate grows it: stored in the end
  for (int level : {1, 9}) {
    Outcome outcome = run(at("big.zip"), {at("big.txt"), at("noise.bin")}, level);
    ASSERT_EQ(outcome.code, ResultCode::Ok) << outcome.message;
    EXPECT_EQ(checkArchive(at("big.zip"), {"big.txt", "noise.bin"}), "") << level;
    CentralDirectory directory = directoryOf(at("big.zip"));
    EXPECT_EQ(entryNamed(directory, "big.txt").method, kDeflated);
    EXPECT_EQ(entryNamed(directory, "noise.bin").method, kStored);
  }
}

TEST_F(EngineTest, KeepsFoldersWithoutJunkPaths) {
  ASSERT_EQ(mkdir(at("sub").c_str(), 0755), 0);
  writeFile(at("sub/ソフト.txt"), "x");
  Outcome outcome = run(at("a.zip"), {at("sub/ソフト.txt")}, 6, false);
  ASSERT_EQ(outcome.code, ResultCode::Ok) << outcome.message;
  std::string expected = (at("sub/ソフト.txt")).substr(1);  // the leading "/" goes
  EXPECT_EQ(checkArchive(at("a.zip"), {expected}), "");
}

TEST_F(EngineTest, EntryNames) {
  struct Case {
    const char* path;
    bool junk;
    const char* name;
  } cases[] = {
      {"C:\\Data\\report.txt", true, "report.txt"},
      {"C:\\Data\\report.txt", false, "Data/report.txt"},
      {"C:\\ソフト\\表.txt", false, "ソフト/表.txt"},  // trail "\" bytes stay
      {"\\\\.\\x\\..\\y.txt", false, "y.txt"},
      {"a/./b//c", false, "a/b/c"},
  };
  for (const Case& c : cases) EXPECT_EQ(entryName(c.path, c.junk, kShiftJis), c.name) << c.path;
}

TEST_F(EngineTest, WildcardsSelectFilesOnly) {
  writeFile(at("a.txt"), "a");
  writeFile(at("b.TXT"), "b");
  writeFile(at("c.dat"), "c");
  ASSERT_EQ(mkdir(at("d.txt").c_str(), 0755), 0);
  ASSERT_EQ(run(at("x.zip"), {at("*.txt")}).code, ResultCode::Ok);
  EXPECT_EQ(checkArchive(at("x.zip"), {"a.txt", "b.TXT"}), "");
}

TEST_F(EngineTest, InputErrorsWriteNothing) {
  writeFile(at("a.txt"), "a");
  ASSERT_EQ(mkdir(at("folder").c_str(), 0755), 0);
  writeFile(at("folder/a.txt"), "other a");
  struct Case {
    std::vector<std::string> patterns;
    ResultCode code;
  } cases[] = {
      {{at("*.none")}, ResultCode::NoFileMatched},
      {{at("a.txt"), at("*.none")}, ResultCode::NoFileMatched},
      {{at("missing.txt")}, ResultCode::InputUnreadable},
      {{at("folder")}, ResultCode::InputUnreadable},
      {{at("[abc")}, ResultCode::BadCommandLine},
      {{at("*/a.txt")}, ResultCode::BadCommandLine},
      {{at("a.txt"), at("folder/a.txt")}, ResultCode::BadCommandLine},  // one name, two files
  };
  for (const Case& c : cases) {
    Outcome outcome = run(at("x.zip"), c.patterns);
    EXPECT_EQ(outcome.code, c.code) << c.patterns.back();
    EXPECT_FALSE(outcome.message.empty());
    EXPECT_EQ(folder_.names(), (std::vector<std::string>{"a.txt", "folder"}));
  }
  EXPECT_EQ(run(at("x.zip"), {at("a.txt")}, 10).code, ResultCode::BadCommandLine);
  EXPECT_EQ(run(at("x.zip"), {at("a.txt"), at("?.txt")}).code, ResultCode::Ok)
      << "the same file twice";
}

TEST_F(EngineTest, ReplacesAnEntryAndCopiesTheOthersByteForByte) {
  writeFile(at("a.txt"), textLike(50000));
  writeFile(at("b.txt"), textLike(70000));
  ASSERT_EQ(run(at("x.zip"), {at("a.txt"), at("b.txt")}).code, ResultCode::Ok);
  std::string bBefore = recordBytes(at("x.zip"), entryNamed(directoryOf(at("x.zip")), "b.txt"));
  writeFile(at("A.TXT"), "new a");  // the same name to Windows
  writeFile(at("c.txt"), "c");
  ASSERT_EQ(run(at("x.zip"), {at("A.TXT"), at("c.txt")}, 9).code, ResultCode::Ok);
  CentralDirectory after = directoryOf(at("x.zip"));
  ASSERT_EQ(after.entries.size(), 3u);
  EXPECT_EQ(recordBytes(at("x.zip"), entryNamed(after, "b.txt")), bBefore);
  EXPECT_EQ(entryNamed(after, "A.TXT").uncompressedSize, 5u);
  EXPECT_EQ(checkArchive(at("x.zip"), {"A.TXT", "b.txt", "c.txt"}), "");
}

TEST_F(EngineTest, ReadsArchivesOfOtherWritersAndKeepsTheirEntries) {
  // Another writer: data descriptors, a comment, and more entries than the
  // end record can count, so ZIP64 end records.
  std::string script =
      "import zipfile,sys\n"
      "with zipfile.ZipFile(sys.argv[1],'w') as z:\n"
      "  z.comment=b'kept comment'\n"
      "  for i in range(70000): z.writestr('e%d' % i, b'x')\n"
      "  with z.open('streamed', 'w') as f: f.write(b'y' * 1000)\n";
  writeFile(at("make.py"), script);
  ASSERT_EQ(std::system(("python3 " + at("make.py") + " " + at("big.zip")).c_str()), 0);
  writeFile(at("new.txt"), "new");
  Outcome outcome = run(at("big.zip"), {at("new.txt")});
  ASSERT_EQ(outcome.code, ResultCode::Ok) << outcome.message;
  CentralDirectory directory = directoryOf(at("big.zip"));
  EXPECT_EQ(directory.entries.size(), 70002u);
  EXPECT_EQ(directory.comment, "kept comment");
  EXPECT_EQ(checkArchive(at("big.zip")), "");
}

TEST_F(EngineTest, DamagedArchiveStaysUntouched) {
  writeFile(at("a.txt"), textLike(10000));
  ASSERT_EQ(run(at("good.zip"), {at("a.txt")}).code, ResultCode::Ok);
  std::string good = readFile(at("good.zip"));
  std::string badLocal = good;
  badLocal[0] = 'X';
  std::string badCount = good;
  badCount[good.size() - 22 + 10] = 5;  // five entries claimed, one there
  for (const std::string& bytes :
       {std::string(), std::string("not a zip file at all"), good.substr(0, good.size() - 5),
        good.substr(0, good.size() / 2), badLocal, badCount}) {
    writeFile(at("bad.zip"), bytes);
    Outcome outcome = run(at("bad.zip"), {at("a.txt")});
    EXPECT_EQ(outcome.code, ResultCode::ArchiveDamaged) << outcome.message;
    EXPECT_EQ(readFile(at("bad.zip")), bytes);
    EXPECT_EQ(folder_.names(), (std::vector<std::string>{"a.txt", "bad.zip", "good.zip"}));
  }
}

TEST_F(EngineTest, ArchiveAmongInputsIsRefused) {
  writeFile(at("a.txt"), "a");
  ASSERT_EQ(run(at("a.zip"), {at("a.txt")}).code, ResultCode::Ok);
  std::string before = readFile(at("a.zip"));
  EXPECT_EQ(run(at("a.zip"), {at("a.zip")}).code, ResultCode::ArchiveIsInput);
  EXPECT_EQ(run(at("a.zip"), {at("*")}).code, ResultCode::ArchiveIsInput);
  EXPECT_EQ(readFile(at("a.zip")), before);
}

TEST_F(EngineTest, ArchiveInAMissingFolderOverAFolderOrReadOnlyIsNotWritable) {
  writeFile(at("a.txt"), "a");
  ASSERT_EQ(mkdir(at("taken.zip").c_str(), 0755), 0);
  EXPECT_EQ(run(at("missing/a.zip"), {at("a.txt")}).code, ResultCode::ArchiveNotWritable);
  EXPECT_EQ(run(at("taken.zip"), {at("a.txt")}).code, ResultCode::ArchiveNotWritable);
  ASSERT_EQ(run(at("kept.zip"), {at("a.txt")}).code, ResultCode::Ok);
  std::string before = readFile(at("kept.zip"));
  ASSERT_EQ(chmod(at("kept.zip").c_str(), 0444), 0);
  EXPECT_EQ(run(at("kept.zip"), {at("a.txt")}).code, ResultCode::ArchiveNotWritable) << "read-only";
  EXPECT_EQ(readFile(at("kept.zip")), before);
}

// Passes everything to the real file system, except a write, flush,
// rename or opening that a test wants to fail (with the error the system
// would give), and the true names a test gives paths.
class FaultyFileSystem : public FileSystem {
 public:
  std::uint64_t writesLeft = UINT64_MAX;  // bytes that may still be written
  bool failFlush = false;
  bool failReplace = false;
  std::map<std::string, int> openErrors;  // path to errno
  std::map<std::string, std::string> trueNames;

  std::optional<FileInfo> stat(const std::string& path) override { return real().stat(path); }
  std::optional<std::vector<std::string>> list(const std::string& folder) override {
    return real().list(folder);
  }
  std::unique_ptr<FileReader> openRead(const std::string& path) override {
    auto error = openErrors.find(path);
    if (error == openErrors.end()) return real().openRead(path);
    errno = error->second;
    return nullptr;
  }
  std::optional<std::string> trueName(const std::string& path) override {
    auto name = trueNames.find(path);
    if (name == trueNames.end()) return std::nullopt;
    return name->second;
  }
  std::unique_ptr<FileWriter> createNew(const std::string& path, CreateStatus& status) override {
    std::unique_ptr<FileWriter> inner = real().createNew(path, status);
    return inner ? std::make_unique<Writer>(std::move(inner), *this) : nullptr;
  }
  bool replace(const std::string& from, const std::string& to) override {
    return !failReplace && real().replace(from, to);
  }
  bool remove(const std::string& path) override { return real().remove(path); }
  bool sameFile(const std::string& a, const std::string& b) override {
    return real().sameFile(a, b);
  }
  LocalTime localTime(std::int64_t utc) override { return real().localTime(utc); }

 private:
  static FileSystem& real() { return systemFileSystem(); }
  class Writer : public FileWriter {
   public:
    Writer(std::unique_ptr<FileWriter> inner, FaultyFileSystem& owner)
        : inner_(std::move(inner)), owner_(owner) {}
    bool write(const void* data, std::size_t size) override {
      if (size > owner_.writesLeft) {  // the disk is full
        errno = ENOSPC;
        return false;
      }
      owner_.writesLeft -= size;
      return inner_->write(data, size);
    }
    std::optional<std::size_t> read(void* buffer, std::size_t size) override {
      return inner_->read(buffer, size);
    }
    bool seek(std::uint64_t position) override { return inner_->seek(position); }
    std::optional<std::uint64_t> size() override { return inner_->size(); }
    bool truncate() override { return inner_->truncate(); }
    bool flush() override { return !owner_.failFlush && inner_->flush(); }

   private:
    std::unique_ptr<FileWriter> inner_;
    FaultyFileSystem& owner_;
  };
};

class CancelAfter : public Progress {
 public:
  explicit CancelAfter(std::uint64_t bytes) : bytes_(bytes) {}
  bool onProgress(const std::string&, std::uint64_t done, std::uint64_t) override {
    return done < bytes_;
  }

 private:
  std::uint64_t bytes_;
};

TEST_F(EngineTest, FailureOrCancelLeavesTheOldArchiveExactlyAsItWas) {
  writeFile(at("a.txt"), textLike(2000000));
  writeFile(at("b.txt"), randomBytes(1500000));
  ASSERT_EQ(run(at("x.zip"), {at("a.txt")}).code, ResultCode::Ok);
  std::string before = readFile(at("x.zip"));
  writeFile(at("a.txt"), textLike(9000000));  // big enough to deflate on several threads
  struct Case {
    const char* what;
    std::uint64_t writesLeft;
    bool failFlush, failReplace;
    std::uint64_t cancelAfter;
    ResultCode code;
  } cases[] = {
      {"disk full at once", 0, false, false, UINT64_MAX, ResultCode::ArchiveNotWritable},
      {"disk full while copying", 100000, false, false, UINT64_MAX, ResultCode::ArchiveNotWritable},
      {"disk full while deflating", 1200000, false, false, UINT64_MAX,
       ResultCode::ArchiveNotWritable},
      {"disk full while storing", 3000000, false, false, UINT64_MAX,
       ResultCode::ArchiveNotWritable},
      {"flush fails", UINT64_MAX, true, false, UINT64_MAX, ResultCode::ArchiveNotWritable},
      {"rename fails", UINT64_MAX, false, true, UINT64_MAX, ResultCode::ArchiveNotWritable},
      {"cancelled while deflating", UINT64_MAX, false, false, 3000000, ResultCode::Cancelled},
      {"cancelled while storing", UINT64_MAX, false, false, 9500000, ResultCode::Cancelled},
  };
  for (const Case& c : cases) {
    FaultyFileSystem fileSystem;
    fileSystem.writesLeft = c.writesLeft;
    fileSystem.failFlush = c.failFlush;
    fileSystem.failReplace = c.failReplace;
    CancelAfter progress(c.cancelAfter);
    Outcome outcome = run(at("x.zip"), {at("a.txt"), at("b.txt")}, 6, true, &fileSystem, &progress);
    EXPECT_EQ(outcome.code, c.code) << c.what;
    EXPECT_EQ(readFile(at("x.zip")), before) << c.what;
    EXPECT_EQ(folder_.names(), (std::vector<std::string>{"a.txt", "b.txt", "x.zip"})) << c.what;
  }
}

// A path that spells the file otherwise than by its own name (its short
// name, for a name the code page cannot spell) still gives the entry its
// real name: in UTF-8 as it is, in the name field in its best code-page
// form ("_" natively, where iconv has no best fit).
TEST_F(EngineTest, EntryNamesFromTheFilesTrueName) {
  struct Case {
    std::string path;
    bool junk;
    std::optional<std::string> trueName;
    std::string name, unicodeName;
  } cases[] = {
      {"C:\\x\\CAF_~CRT.TXT", true, u8"C:\\x\\café.txt", "caf_.txt", u8"café.txt"},
      {"C:\\PROGRA~1\\__~~~M2X.TXT", false, u8"C:\\Program Files\\简体.txt",
       "Program Files/_体.txt", u8"Program Files/简体.txt"},
      {"C:\\x\\__~~~Y1E.TXT", true, u8"C:\\x\\😀.txt", "_.txt", u8"😀.txt"},
      {"C:\\Data\\REPORT~1.TXT", true, u8"C:\\Data\\Report 2024.txt", "Report 2024.txt",
       u8"Report 2024.txt"},
      {"C:\\PROGRA~1\\REPORT.TXT", true, u8"C:\\Program Files\\report.txt", "REPORT.TXT",
       u8"REPORT.TXT"},  // the file's own name in another case
      {"C:\\表.txt", true, u8"C:\\表.txt", "表.txt", u8"表.txt"},
      {"C:\\表.txt", true, std::nullopt, "表.txt", u8"表.txt"},
  };
  for (const Case& c : cases) {
    FaultyFileSystem fileSystem;
    if (c.trueName) fileSystem.trueNames[c.path] = *c.trueName;
    EntryNames names = entryNames(c.path, c.junk, fileSystem, kShiftJis);
    EXPECT_EQ(names.name, c.name) << c.path;
    EXPECT_EQ(names.unicodeName, c.unicodeName) << c.path;
  }
}

TEST_F(EngineTest, EveryReaderShowsTheRealNameOfAShortPath) {
  FaultyFileSystem fileSystem;
  const std::vector<std::string> realNames = {u8"café.txt", u8"简体.txt", u8"😀.txt"};
  std::vector<std::string> patterns, expected;
  for (std::size_t i = 0; i < realNames.size(); ++i) {
    const std::string shortPath = at("NAME~" + std::to_string(i + 1) + ".TXT");
    writeFile(shortPath, realNames[i] + " holds this");
    fileSystem.trueNames[shortPath] = at(realNames[i]);
    patterns.push_back(shortPath);
    expected.push_back("unicode:" + realNames[i]);
  }
  Outcome outcome = run(at("names.zip"), patterns, 6, true, &fileSystem);
  ASSERT_EQ(outcome.code, ResultCode::Ok) << outcome.message;
  EXPECT_EQ(checkArchive(at("names.zip"), expected), "");
  CentralDirectory directory = directoryOf(at("names.zip"));
  ASSERT_EQ(directory.entries.size(), 3u);
  EXPECT_EQ(directory.entries[0].name, "caf_.txt");
  EXPECT_EQ(directory.entries[1].name, "_体.txt");
}

// An entry is replaced only by the file of its real name: the name field of
// café.txt (caf_.txt natively, cafe.txt under Windows' best fit) leaves the
// entry of the file of that very name alone.
TEST_F(EngineTest, ARealNameReplacesOnlyItsOwnEntry) {
  FaultyFileSystem fileSystem;
  writeFile(at("caf_.txt"), "plain");
  writeFile(at("NAME~1.TXT"), "accented");
  fileSystem.trueNames[at("NAME~1.TXT")] = at(u8"café.txt");
  ASSERT_EQ(run(at("x.zip"), {at("caf_.txt")}, 6, true, &fileSystem).code, ResultCode::Ok);
  ASSERT_EQ(run(at("x.zip"), {at("NAME~1.TXT")}, 6, true, &fileSystem).code, ResultCode::Ok);
  writeFile(at("NAME~1.TXT"), "accented, later");
  ASSERT_EQ(run(at("x.zip"), {at("NAME~1.TXT")}, 6, true, &fileSystem).code, ResultCode::Ok);
  const std::string verdict = checkArchive(at("x.zip"), {"caf_.txt", u8"unicode:café.txt"});
  EXPECT_EQ(verdict, "");
  CentralDirectory directory = directoryOf(at("x.zip"));
  ASSERT_EQ(directory.entries.size(), 2u);
  EXPECT_EQ(directory.entries[0].uncompressedSize, 5u) << "the plain file's entry is kept";
  EXPECT_EQ(directory.entries[1].uncompressedSize, 15u) << "the accented one's is replaced";
}

// Each failure names its cause; the path follows.
TEST_F(EngineTest, MessagesNameTheCause) {
  writeFile(at("a.txt"), "a");
  writeFile(at("damaged.zip"), "PK\x03\x04 no archive at all");
  writeFile(at("readonly.zip"), "");
  ASSERT_EQ(chmod(at("readonly.zip").c_str(), 0444), 0);
  ASSERT_EQ(mkdir(at("folder.zip").c_str(), 0755), 0);
  ASSERT_EQ(mkdir(at("sub").c_str(), 0755), 0);
  struct Case {
    std::string archive, input;
    int openError;
    std::uint64_t writesLeft;
    ResultCode code;
    std::string message;
  } cases[] = {
      {at("x.zip"), at("gone.txt"), 0, UINT64_MAX, ResultCode::InputUnreadable,
       "ファイルが見つかりません: " + at("gone.txt")},
      {at("x.zip"), at("a.txt"), EBUSY, UINT64_MAX, ResultCode::InputUnreadable,
       "ファイルが他のプログラムで使用中です: " + at("a.txt")},
      {at("x.zip"), at("a.txt"), EACCES, UINT64_MAX, ResultCode::InputUnreadable,
       "ファイルへのアクセスが拒否されました: " + at("a.txt")},
      {at("x.zip"), at("sub"), 0, UINT64_MAX, ResultCode::InputUnreadable,
       "フォルダは圧縮できません: " + at("sub")},
      {at("x.zip"), at("a.txt"), 0, 0, ResultCode::ArchiveNotWritable,
       "ディスクの空き容量が足りません: " + at("x.zip")},
      {at("no/x.zip"), at("a.txt"), 0, UINT64_MAX, ResultCode::ArchiveNotWritable,
       "書庫ファイルを置くフォルダが見つかりません: " + at("no/x.zip")},
      {at("readonly.zip"), at("a.txt"), 0, UINT64_MAX, ResultCode::ArchiveNotWritable,
       "書庫ファイルが読み取り専用です: " + at("readonly.zip")},
      {at("folder.zip"), at("a.txt"), 0, UINT64_MAX, ResultCode::ArchiveNotWritable,
       "書庫ファイルと同じ名前のフォルダがあります: " + at("folder.zip")},
      {at("damaged.zip"), at("a.txt"), 0, UINT64_MAX, ResultCode::ArchiveDamaged,
       "書庫ファイルが壊れています: " + at("damaged.zip")},
  };
  for (const Case& c : cases) {
    FaultyFileSystem fileSystem;
    if (c.openError) fileSystem.openErrors[c.input] = c.openError;
    fileSystem.writesLeft = c.writesLeft;
    Outcome outcome = run(c.archive, {c.input}, 6, true, &fileSystem);
    EXPECT_EQ(outcome.code, c.code) << c.message;
    EXPECT_EQ(outcome.message, c.message);
  }
}

TEST_F(EngineTest, TimesAreLocalByTheRuleOfTheirDate) {
  const char* oldZone = std::getenv("TZ");
  std::string saved = oldZone ? oldZone : "";
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  struct Case {
    std::time_t utc;
    int year, month, day, hour, minute, second;
  } cases[] = {
      {1719835200, 2024, 7, 1, 14, 0, 0},  // 12:00 UTC in summer: +2
      {1704110400, 2024, 1, 1, 13, 0, 0},  // 12:00 UTC in winter: +1
      {157766400, 1980, 1, 1, 0, 0, 0},    // 1975: the earliest DOS date
      {1719835201, 2024, 7, 1, 14, 0, 0},  // odd seconds round down
  };
  writeFile(at("a.txt"), "a");
  for (const Case& c : cases) {
    utimbuf times{c.utc, c.utc};
    ASSERT_EQ(utime(at("a.txt").c_str(), &times), 0);
    ASSERT_EQ(run(at("t.zip"), {at("a.txt")}).code, ResultCode::Ok);
    Entry entry = directoryOf(at("t.zip")).entries.at(0);
    EXPECT_EQ(entry.dosDate, (c.year - 1980) << 9 | c.month << 5 | c.day) << c.utc;
    EXPECT_EQ(entry.dosTime, c.hour << 11 | c.minute << 5 | c.second / 2) << c.utc;
    // The extended timestamp keeps the UTC time itself.
    std::string stamp = std::string("\x55\x54\x05\x00\x01", 5) + std::string(4, '\0');
    for (int i = 0; i < 4; ++i) stamp[5 + i] = static_cast<char>((c.utc >> (8 * i)) & 0xFF);
    EXPECT_NE(entry.centralExtra.find(stamp), std::string::npos) << c.utc;
  }
  EXPECT_EQ(dosDateTime({2200, 1, 1, 0, 0, 0}) >> 25, 127u);
  if (oldZone) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

TEST_F(EngineTest, Zip64OnlyWhereSizesAndOffsetsNeedIt) {
  // A sparse file past 4 GiB, stored, so that the entry after it starts past 4 GiB too.
  const std::uint64_t bigSize = (std::uint64_t{1} << 32) + 1000;
  {
    FILE* file = std::fopen(at("big.bin").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(ftruncate(fileno(file), static_cast<off_t>(bigSize)), 0);
    std::fclose(file);
  }
  writeFile(at("small.txt"), "small");
  ASSERT_EQ(run(at("z.zip"), {at("small.txt"), at("big.bin")}, 0).code, ResultCode::Ok);
  writeFile(at("small.txt"), "small, later");
  Outcome outcome = run(at("z.zip"), {at("small.txt")}, 6);
  ASSERT_EQ(outcome.code, ResultCode::Ok) << outcome.message;
  CentralDirectory directory = directoryOf(at("z.zip"));
  const Entry& big = entryNamed(directory, "big.bin");
  const Entry& small = entryNamed(directory, "small.txt");
  EXPECT_TRUE(big.zip64Sizes);
  EXPECT_EQ(big.uncompressedSize, bigSize);
  EXPECT_EQ(big.versionNeeded, 45);
  EXPECT_FALSE(small.zip64Sizes);
  EXPECT_GE(small.localOffset, bigSize);
  EXPECT_EQ(small.versionNeeded, 45) << "its offset needs ZIP64";
  std::unique_ptr<FileReader> file = systemFileSystem().openRead(at("z.zip"));
  EXPECT_EQ(readLocalHeader(*file, small.localOffset, "z.zip").versionNeeded, 45)
      << "local and central agree";
  EXPECT_EQ(checkArchive(at("z.zip"), {"big.bin", "small.txt"}), "");
}

}  // namespace
}  // namespace zip32
