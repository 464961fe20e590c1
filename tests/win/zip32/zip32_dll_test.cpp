// zip32j.dll and zip32.dll loaded by name, as the program loads them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/win/support/memory_exhausted.h"
#include "zip32_api.h"

namespace {

// Result codes, as zip32/README.md lists them.
enum Code {
  Ok = 0,
  BadCommandLine = 1,
  NoFileMatched = 2,
  InputUnreadable = 3,
  NotWritable = 4,
  Damaged = 5,
  Cancelled = 6,
  ArchiveIsInput = 7,
  Busy = 8,
  OutOfMemory = 10
};

class Module {
 public:
  explicit Module(const char* name) : module_(LoadLibraryA(name)) {}
  ~Module() {
    if (module_) FreeLibrary(module_);
  }
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;
  template <typename Proc>
  Proc get(const char* name) const {
    return module_ ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
                   : nullptr;
  }
  bool loaded() const { return module_ != nullptr; }

 private:
  HMODULE module_;
};

class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  ~Handle() {
    if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::string hex(const std::string& bytes) {
  std::string text;
  char digits[3];
  for (unsigned char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", c);
    text += digits;
  }
  return text;
}

// Z:\tmp\... is /tmp/... to the Unix programs that check the archives.
std::string unixPath(const std::string& path) {
  std::string unix = path.substr(2);
  for (std::size_t i = 0; i < unix.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(unix[i]))) {
      ++i;  // a trail "\\" is part of its character
    } else if (unix[i] == '\\') {
      unix[i] = '/';
    }
  }
  return unix;
}

std::string toUtf8(const std::string& text) {
  int wideLength =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                      wideLength);
  int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

// Runs a shell command as a Unix program and gives its exit status, -1 when
// it did not end in time. Wine does not wait for a Unix program it starts,
// so the command leaves its status in a file that this polls for.
int runUnix(const std::string& command) {
  static int serial = 0;
  std::string base = "Z:\\tmp\\zip32-win-run-" + std::to_string(GetCurrentProcessId()) + "-" +
                     std::to_string(++serial);
  std::string status = unixPath(base + ".rc");
  writeFile(base + ".sh", toUtf8(command) + "\necho $? > '" + status + ".part' && mv '" + status +
                              ".part' '" + status + "'\n");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = "/bin/sh " + unixPath(base + ".sh");
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return -1;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  int code = -1;
  // Ten minutes: on a machine that emulates its processor, a check may take minutes.
  for (int waited = 0; waited < 600000 && code < 0; waited += 50) {
    std::string text = readFile(base + ".rc");
    if (!text.empty())
      code = std::atoi(text.c_str());
    else
      Sleep(50);
  }
  DeleteFileA((base + ".sh").c_str());
  DeleteFileA((base + ".rc").c_str());
  return code;
}

// 7-Zip, libarchive and Python's zipfile over the archive, with the entry
// names expected (in the code page), and the real names (in UTF-8) of
// entries whose name field spells them otherwise.
int checkArchive(const std::string& archive, const std::vector<std::string>& names,
                 const std::vector<std::string>& realNames = {}) {
  std::string line = "python3 '" ZIP32_CHECKER "' '" + unixPath(archive) + "'";
  for (const std::string& name : names) line += " hex:" + hex(name);
  for (const std::string& name : realNames) line += " unicode:hex:" + hex(name);
  return runUnix(line);
}

std::string utf8Of(const std::wstring& wide) {
  int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                   0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length,
                      nullptr, nullptr);
  return utf8;
}

void writeFile(const std::string& path, const std::string& bytes) {
  Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD done = 0;
  ASSERT_TRUE(
      WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr));
}

std::string readFile(const std::string& path) {
  Handle file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (file.get() != INVALID_HANDLE_VALUE &&
         ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  return bytes;
}

std::string textLike(std::size_t size) {
  std::string text;
  unsigned seed = 1;
  const char* words[] = {"archive ", "書庫 ", "file ",    "ファイル ",
                         "the ",     "圧縮 ", "data\r\n", "level "};
  while (text.size() < size) {
    seed = seed * 1103515245u + 12345u;
    text += words[(seed >> 16) % 8];
  }
  text.resize(size);
  return text;
}

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

void removeTree(const std::string& folder) {
  for (const std::string& name : namesIn(folder)) {
    std::string path = folder + name;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      removeTree(path + "\\");
    } else {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
    }
  }
  RemoveDirectoryA(folder.c_str());
}

class Zip32DllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.loaded());
    zip_ = library_.get<ZipProc>("Zip");
    getRunning_ = library_.get<ZipGetRunningProc>("ZipGetRunning");
    ASSERT_TRUE(zip_ && getRunning_);
    folder_ = "Z:\\tmp\\zip32-win-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(GetTickCount()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
  }
  void TearDown() override { removeTree(folder_); }

  int zip(const std::string& line, HWND owner = nullptr) {
    char output[256];
    return zip_(owner, line.c_str(), output, sizeof output);
  }
  std::string at(const std::string& name) const { return folder_ + name; }

  Module library_{"zip32j.dll"};
  ZipProc zip_ = nullptr;
  ZipGetRunningProc getRunning_ = nullptr;
  std::string folder_;
};

TEST(Zip32Exports, VersionsAndEntryPointsByName) {
  Module library("zip32j.dll");
  ASSERT_TRUE(library.loaded());
  auto getVersion = library.get<ZipGetVersionProc>("ZipGetVersion");
  ASSERT_NE(getVersion, nullptr);
  EXPECT_EQ(getVersion(), 100);
  EXPECT_NE(library.get<ZipProc>("Zip"), nullptr);
  EXPECT_NE(library.get<ZipGetRunningProc>("ZipGetRunning"), nullptr);
  EXPECT_EQ(library.get<ZipGetRunningProc>("ZipGetRunning")(), FALSE);

  Module engine("zip32.dll");
  auto zpVersion = engine.get<ZpVersionProc>("ZpVersion");
  ASSERT_NE(zpVersion, nullptr);
  unsigned char record[64];
  std::fill(std::begin(record), std::end(record), 0xAB);
  zpVersion(record);
  EXPECT_EQ(record[56] * 100 + record[57] * 10 + record[58], 100);
  EXPECT_EQ(record[60], 0xAB) << "60 bytes, no more";
}

TEST_F(Zip32DllTest, MakesAnArchiveOfAJapaneseNameWithEscapedBrackets) {
  writeFile(at("表データー[1].txt"), textLike(200000));
  std::string archive = at("表データー[1].txt.zip");
  std::string line = "-9 -q -j \"" + archive + "\" \"" + at("表データー[[]1].txt") + "\"";
  char output[256];
  std::fill(std::begin(output), std::end(output), '#');
  ASSERT_EQ(zip_(nullptr, line.c_str(), output, sizeof output), Ok);
  EXPECT_NE(std::find(std::begin(output), std::end(output), '\0'), std::end(output));
  EXPECT_EQ(checkArchive(archive, {"表データー[1].txt"}), 0);
  // Again: the entry is replaced, the archive stays sound.
  writeFile(at("other.txt"), "other");
  ASSERT_EQ(zip("-1 -q -j \"" + archive + "\" \"" + at("表データー[[]1].txt") + "\" \"" +
                at("other.txt") + "\""),
            Ok);
  EXPECT_EQ(checkArchive(archive, {"表データー[1].txt", "other.txt"}), 0);
}

// The program passes a name the code page cannot spell as the file's short
// path; the entry still takes the file's real name, in the Unicode Path
// field as it is and in the name field as its best fit. A wildcard reaches
// such files by their short names too.
TEST_F(Zip32DllTest, AShortPathIsStoredUnderTheRealName) {
  const std::wstring names[] = {L"caf\u00E9.txt", L"\u7B80\u4F53.txt", L"\U0001F600.txt"};
  std::wstring folder(folder_.begin(), folder_.end());  // ASCII
  std::string line = "-6 -q -j \"" + at("real.zip") + "\"";
  std::vector<std::string> realNames;
  for (const std::wstring& name : names) {
    const std::wstring path = folder + name;
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    DWORD done = 0;
    WriteFile(file.get(), name.data(), static_cast<DWORD>(name.size() * 2), &done, nullptr);
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(path.c_str(), shortPath, MAX_PATH), 0u);
    const std::string shortText = utf8Of(shortPath);  // ASCII, as Wine makes short names
    ASSERT_EQ(shortText.find_first_of("?\x80"), std::string::npos) << shortText;
    line += " \"" + shortText + "\"";
    realNames.push_back(utf8Of(name));
  }
  ASSERT_EQ(zip(line), Ok);
  EXPECT_EQ(checkArchive(at("real.zip"), {}, realNames), 0);
  const std::string bytes = readFile(at("real.zip"));
  EXPECT_NE(bytes.find("cafe.txt"), std::string::npos) << "the best fit of the accented name";
  EXPECT_NE(bytes.find("_体.txt"), std::string::npos) << "the simplified character has none";

  ASSERT_EQ(zip("-6 -q -j \"" + at("all.zip") + "\" \"" + at("*.txt") + "\""), Ok);
  EXPECT_EQ(checkArchive(at("all.zip"), {}, realNames), 0);
}

// Under Wine as in Windows, the library's message names the cause.
TEST_F(Zip32DllTest, MessagesNameTheCause) {
  writeFile(at("a.txt"), "a");
  ASSERT_EQ(zip("-6 -q -j \"" + at("a.zip") + "\" \"" + at("a.txt") + "\""), Ok);
  auto message = [&](const std::string& archive, const std::string& input) {
    char output[256] = {};
    zip_(nullptr, ("-6 -q -j \"" + archive + "\" \"" + input + "\"").c_str(), output,
         sizeof output);
    return std::string(output);
  };
  EXPECT_EQ(message(at("x.zip"), at("gone.txt")), "ファイルが見つかりません: " + at("gone.txt"));
  {
    Handle locked(
        CreateFileA(at("a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(message(at("x.zip"), at("a.txt")),
              "ファイルが他のプログラムで使用中です: " + at("a.txt"));
  }
  {
    Handle locked(
        CreateFileA(at("a.zip").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(message(at("a.zip"), at("a.txt")),
              "書庫ファイルが他のプログラムで使用中です: " + at("a.zip"));
  }
  EXPECT_EQ(message(at("none\\x.zip"), at("a.txt")),
            "書庫ファイルを置くフォルダが見つかりません: " + at("none\\x.zip"));
}

TEST_F(Zip32DllTest, OutputBufferIsNeverWrittenPastItsSize) {
  for (DWORD size : {0u, 1u, 7u, 16u}) {
    char output[32];
    std::fill(std::begin(output), std::end(output), '#');
    EXPECT_EQ(zip_(nullptr, "-x a.zip b", size == 0 ? nullptr : output, size), BadCommandLine);
    if (size == 0) continue;
    std::size_t length = std::string(output, size).find('\0');
    EXPECT_LT(length, size) << size;
    for (std::size_t i = size; i < sizeof output; ++i) EXPECT_EQ(output[i], '#') << size;
  }
}

TEST_F(Zip32DllTest, ErrorsGiveTheirCodesAndWriteNothing) {
  writeFile(at("a.txt"), "a");
  CreateDirectoryA(at("folder.zip").c_str(), nullptr);
  struct Case {
    std::string line;
    int code;
  } cases[] = {
      {"-6 -q -j \"" + at("x.zip") + "\"", BadCommandLine},
      {"-6 -q -j \"" + at("x.zip") + " \"" + at("a.txt"), BadCommandLine},
      {"-6 -q -j \"" + at("x.zip") + "\" \"" + at("*.none") + "\"", NoFileMatched},
      {"-6 -q -j \"" + at("x.zip") + "\" \"" + at("none.txt") + "\"", InputUnreadable},
      {"-6 -q -j \"" + at("x.zip") + "\" \"" + at("folder.zip") + "\"", InputUnreadable},
      {"-6 -q -j \"" + at("missing\\x.zip") + "\" \"" + at("a.txt") + "\"", NotWritable},
      {"-6 -q -j \"" + at("folder.zip") + "\" \"" + at("a.txt") + "\"", NotWritable},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(zip(c.line), c.code) << c.line;
    EXPECT_EQ(namesIn(folder_).size(), 2u) << c.line;
  }
}

TEST_F(Zip32DllTest, ExistingArchivesThatCannotBeUpdatedStayAsTheyWere) {
  writeFile(at("a.txt"), textLike(5000));
  writeFile(at("damaged.zip"), "PK\x05\x06 not really");
  ASSERT_EQ(zip("-6 -q -j \"" + at("a.zip") + "\" \"" + at("a.txt") + "\""), Ok);
  std::string before = readFile(at("a.zip"));
  EXPECT_EQ(zip("-6 -q -j \"" + at("damaged.zip") + "\" \"" + at("a.txt") + "\""), Damaged);
  EXPECT_EQ(readFile(at("damaged.zip")), "PK\x05\x06 not really");
  EXPECT_EQ(zip("-6 -q -j \"" + at("a.zip") + "\" \"" + at("a.zip") + "\""), ArchiveIsInput);
  {
    // Another program has the input open without sharing.
    Handle locked(CreateFileA(at("a.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(locked.get(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(zip("-6 -q -j \"" + at("a.zip") + "\" \"" + at("a.txt") + "\""), InputUnreadable);
  }
  {
    // Another program holds the archive itself.
    Handle locked(CreateFileA(at("a.zip").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(zip("-6 -q -j \"" + at("a.zip") + "\" \"" + at("a.txt") + "\""), NotWritable);
  }
  // A read-only archive is not replaced. (Wine run by root reports no file
  // as read-only; the native tests cover the case there.)
  ASSERT_TRUE(SetFileAttributesA(at("a.zip").c_str(), FILE_ATTRIBUTE_READONLY));
  if (GetFileAttributesA(at("a.zip").c_str()) & FILE_ATTRIBUTE_READONLY) {
    EXPECT_EQ(zip("-6 -q -j \"" + at("a.zip") + "\" \"" + at("a.txt") + "\""), NotWritable);
  }
  SetFileAttributesA(at("a.zip").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(readFile(at("a.zip")), before);
  EXPECT_EQ(namesIn(folder_).size(), 3u) << "no temporary file left";
}

std::string fromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

// The archives of other writers that update_fixtures.py makes, each updated
// through Zip; the script then checks what became of every old entry.
TEST_F(Zip32DllTest, ArchivesOfOtherWritersKeepEveryEntryOrStayUntouched) {
  std::string fixtures = "python3 '" ZIP32_FIXTURES "' ";
  ASSERT_EQ(runUnix(fixtures + "make '" + unixPath(folder_) + "'"), 0);
  std::string work = at("work\\");
  ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
  std::istringstream cases(readFile(at("cases.txt")));
  std::string results, name, addHex, expected;
  std::size_t count = 0;
  while (cases >> name >> addHex >> expected) {
    std::string fixture = readFile(folder_ + name + ".zip");
    std::string archive = work + name + ".zip";
    writeFile(archive, fixture);
    std::string input = work + name + "\\" + fromHex(addHex);
    CreateDirectoryA((work + name).c_str(), nullptr);
    writeFile(input, "new content of " + name);
    int code = zip("-6 -q -j \"" + archive + "\" \"" + input + "\"");
    results += name + " " + std::to_string(code) + "\n";
    if (expected == "ok") {
      EXPECT_EQ(code, Ok) << name;
    } else {
      EXPECT_EQ(code, std::stoi(expected)) << name;
      EXPECT_TRUE(readFile(archive) == fixture) << name << " changed";
    }
    ++count;
  }
  EXPECT_GT(count, 0u);
  for (const std::string& left : namesIn(work))
    EXPECT_EQ(left.find("~zip"), std::string::npos) << left;
  writeFile(work + "results.txt", results);
  EXPECT_EQ(runUnix(fixtures + "check '" + unixPath(folder_) + "' > '" +
                    unixPath(work + "check.txt") + "' 2>&1"),
            0)
      << readFile(work + "check.txt");
}

// Thousands of inputs in one call, every file by a wildcard and half of them
// again by name, and one file by its long and by its short name: one entry
// for each file. Two files of one name from two folders cannot both go in.
TEST_F(Zip32DllTest, ManyInputsGiveOneEntryForEachFile) {
  std::string line = "-0 -q -j \"" + at("many.zip") + "\" \"" + at("f*.txt") + "\"";
  std::vector<std::string> names;
  for (int i = 0; i < 2000; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    writeFile(at(name), name);
    names.push_back(name);
    if (i % 2 == 0) line += " \"" + at(name) + "\"";
  }
  const std::string longName = "a long name.txt";
  writeFile(at(longName), "long");
  char shortPath[MAX_PATH] = "";
  ASSERT_GT(GetShortPathNameA(at(longName).c_str(), shortPath, MAX_PATH), 0u);
  ASSERT_NE(std::string(shortPath).find('~'), std::string::npos) << shortPath;
  line += " \"" + at(longName) + "\" \"" + shortPath + "\"";
  names.push_back(longName);
  ASSERT_EQ(zip(line), Ok);
  EXPECT_EQ(checkArchive(at("many.zip"), names), 0);

  ASSERT_TRUE(CreateDirectoryA(at("one").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(at("two").c_str(), nullptr));
  writeFile(at("one\\x.txt"), "one");
  writeFile(at("two\\X.TXT"), "two");
  EXPECT_EQ(zip("-0 -q -j \"" + at("x.zip") + "\" \"" + at("one\\x.txt") + "\" \"" +
                at("two\\X.TXT") + "\""),
            BadCommandLine);
  EXPECT_EQ(GetFileAttributesA(at("x.zip").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Little-endian fields of a ZIP record.
std::string le(std::uint64_t value, int bytes) {
  std::string field;
  for (int i = 0; i < bytes; ++i) field += static_cast<char>((value >> (8 * i)) & 0xFF);
  return field;
}

// An archive whose ZIP64 records declare a central directory of 4 GiB and
// 47 bytes, of which the first 47 are one sound central header: the rest
// is a hole of the sparse file, up to the records.
void writeArchiveWithHugeDirectory(const std::string& path, std::uint64_t& size) {
  const std::uint64_t directoryOffset = 31, directorySize = (std::uint64_t(1) << 32) + 47;
  const std::string local = le(0x04034b50, 4) + le(20, 2) + le(0, 2) + le(0, 2) + le(0, 2) +
                            le(0x21, 2) + le(0, 4) + le(0, 4) + le(0, 4) + le(1, 2) + le(0, 2) +
                            "a";
  const std::string central = le(0x02014b50, 4) + le(20, 2) + le(20, 2) + le(0, 2) + le(0, 2) +
                              le(0, 2) + le(0x21, 2) + le(0, 4) + le(0, 4) + le(0, 4) + le(1, 2) +
                              le(0, 2) + le(0, 2) + le(0, 2) + le(0, 2) + le(0, 4) + le(0, 4) + "a";
  const std::uint64_t records = directoryOffset + directorySize;
  const std::string tail = le(0x06064b50, 4) + le(44, 8) + le(45, 2) + le(45, 2) + le(0, 4) +
                           le(0, 4) + le(1, 8) + le(1, 8) + le(directorySize, 8) +
                           le(directoryOffset, 8) + le(0x07064b50, 4) + le(0, 4) + le(records, 8) +
                           le(1, 4) + le(0x06054b50, 4) + le(0, 2) + le(0, 2) + le(0xFFFF, 2) +
                           le(0xFFFF, 2) + le(0xFFFFFFFF, 4) + le(0xFFFFFFFF, 4) + le(0, 2);
  Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD done = 0;
  ASSERT_TRUE(
      WriteFile(file.get(), local.data(), static_cast<DWORD>(local.size()), &done, nullptr));
  ASSERT_TRUE(
      WriteFile(file.get(), central.data(), static_cast<DWORD>(central.size()), &done, nullptr));
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(records);
  ASSERT_TRUE(SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN));
  ASSERT_TRUE(WriteFile(file.get(), tail.data(), static_cast<DWORD>(tail.size()), &done, nullptr));
  size = records + tail.size();
}

// A 32-bit process cannot hold a central directory beyond 2 GiB, and one
// cut to what it can hold would drop entries: the archive is damaged.
TEST_F(Zip32DllTest, DirectoryTooLargeToHoldIsDamaged) {
  if (sizeof(void*) != 4) GTEST_SKIP() << "a 64-bit process may hold such a directory";
  const std::string archive = at("huge.zip");
  std::uint64_t size = 0;
  writeArchiveWithHugeDirectory(archive, size);
  writeFile(at("b.txt"), "b");
  EXPECT_EQ(zip("-6 -q -j \"" + archive + "\" \"" + at("b.txt") + "\""), Damaged);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExA(archive.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ((std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow, size);
  EXPECT_EQ(namesIn(folder_).size(), 2u) << "no temporary file left";
}

// Memory that runs out inside a call ends the call with its result code,
// never the process; with memory back, the same call works.
TEST_F(Zip32DllTest, MemoryRunningOutGivesItsResultCode) {
  if (!MemoryExhausted::exhaustible()) GTEST_SKIP() << "only a 32-bit process runs out of memory";
  Module engine("zip32.dll");
  auto archive = engine.get<ZpArchiveProc>("ZpArchive");
  ASSERT_NE(archive, nullptr);
  writeFile(at("a.txt"), textLike(5000));
  // Paths longer than the memory left can hold: each call must copy one.
  const std::string longTarget = at(std::string(MemoryExhausted::kSpared * 4, 'x'));
  const std::string target = at("a.zip"), input = at("a.txt");
  const char* inputs[] = {input.c_str()};
  const ZpArchiveRequest request{sizeof request, 6,       1,      longTarget.c_str(), 1,
                                 inputs,         nullptr, nullptr};
  const std::string longLine = "-6 -q -j \"" + longTarget + "\" \"" + input + "\"";
  char zipOutput[256], engineOutput[256];
  int32_t zipCode, engineCode;
  {
    MemoryExhausted exhausted;
    zipCode = zip_(nullptr, longLine.c_str(), zipOutput, sizeof zipOutput);
    engineCode = archive(&request, engineOutput, sizeof engineOutput);
  }
  EXPECT_EQ(zipCode, OutOfMemory);
  EXPECT_STREQ(zipOutput, "メモリが足りません。");
  EXPECT_EQ(engineCode, OutOfMemory);
  EXPECT_STREQ(engineOutput, "メモリが足りません。");
  EXPECT_EQ(namesIn(folder_), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(getRunning_(), 0);
  EXPECT_EQ(zip("-6 -q -j \"" + target + "\" \"" + input + "\""), Ok);
}

TEST_F(Zip32DllTest, FullDiskLeavesTheOldArchiveAndNoTemporaryFile) {
  std::string small = at("small");
  CreateDirectoryA(small.c_str(), nullptr);
  if (runUnix("mount -t tmpfs -o size=512k tmpfs '" + unixPath(small) + "'") != 0)
    GTEST_SKIP() << "cannot mount a small file system here";
  writeFile(at("big.txt"), std::string(20000, 'x') + textLike(2000000));
  writeFile(at("small\\a.txt"), "a");
  std::string archive = at("small\\a.zip");
  ASSERT_EQ(zip("-6 -q -j \"" + archive + "\" \"" + at("small\\a.txt") + "\""), Ok);
  std::string before = readFile(archive);
  EXPECT_EQ(zip("-0 -q -j \"" + archive + "\" \"" + at("big.txt") + "\""), NotWritable);
  EXPECT_EQ(readFile(archive), before);
  EXPECT_EQ(namesIn(small + "\\").size(), 2u);
  EXPECT_EQ(runUnix("umount '" + unixPath(small) + "'"), 0);
}

// A visible top-level window to own the progress window.
class OwnerWindow {
 public:
  OwnerWindow() {
    WNDCLASSA ownerClass{};
    ownerClass.lpfnWndProc = DefWindowProcA;
    ownerClass.hInstance = GetModuleHandleA(nullptr);
    ownerClass.lpszClassName = "Zip32TestOwner";
    RegisterClassA(&ownerClass);  // fails harmlessly when it is there already
    window_ = CreateWindowExA(0, "Zip32TestOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~OwnerWindow() {
    if (window_) DestroyWindow(window_);
  }
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_;
};

// What the progress window looked like from inside a Zip call.
struct Observed {
  HWND owner = nullptr;
  ZipProc zip = nullptr;
  ZipGetRunningProc getRunning = nullptr;
  std::string nestedLine;
  std::string awaitedLabel;
  bool seen = false, ownerDisabled = false, running = false;
  int nestedResult = -1;
  std::string label;
  HWND window = nullptr;
} gObserved;

BOOL CALLBACK findOwned(HWND window, LPARAM) {
  if (GetWindow(window, GW_OWNER) != gObserved.owner || !IsWindowVisible(window)) return TRUE;
  gObserved.window = window;
  return FALSE;
}

// Looks once the window shows the awaited file name, then presses Cancel.
void CALLBACK lookAndCancel(HWND, UINT, UINT_PTR timer, DWORD) {
  gObserved.window = nullptr;
  EnumWindows(&findOwned, 0);
  HWND label =
      gObserved.window ? FindWindowExA(gObserved.window, nullptr, "STATIC", nullptr) : nullptr;
  char text[MAX_PATH * 2] = "";
  if (label) GetWindowTextA(label, text, sizeof text);
  if (gObserved.awaitedLabel != text) return;
  KillTimer(nullptr, timer);
  gObserved.label = text;
  gObserved.seen = true;
  gObserved.ownerDisabled = !IsWindowEnabled(gObserved.owner);
  gObserved.running = gObserved.getRunning() == 1;
  char output[256];
  gObserved.nestedResult =
      gObserved.zip(nullptr, gObserved.nestedLine.c_str(), output, sizeof output);
  HWND cancel = FindWindowExA(gObserved.window, nullptr, "BUTTON", "中止");
  if (cancel) SendMessageA(cancel, BM_CLICK, 0, 0);
}

TEST_F(Zip32DllTest, ProgressWindowIsOwnedAndCancelLeavesNothing) {
  OwnerWindow ownerWindow;
  HWND owner = ownerWindow.get();
  ASSERT_NE(owner, nullptr) << GetLastError();
  writeFile(at("big.txt"), textLike(40000000));
  writeFile(at("old.txt"), "old");
  ASSERT_EQ(zip("-6 -q -j \"" + at("a.zip") + "\" \"" + at("old.txt") + "\""), Ok);
  std::string before = readFile(at("a.zip"));
  gObserved = Observed{};
  gObserved.owner = owner;
  gObserved.zip = zip_;
  gObserved.getRunning = getRunning_;
  gObserved.nestedLine = "-6 -q -j \"" + at("b.zip") + "\" \"" + at("old.txt") + "\"";
  gObserved.awaitedLabel = "big.txt";  // after old.txt, which is copied first
  SetTimer(nullptr, 0, 10, &lookAndCancel);
  EXPECT_EQ(zip("-9 -j \"" + at("a.zip") + "\" \"" + at("big.txt") + "\"", owner), Cancelled);
  EXPECT_TRUE(gObserved.seen);
  EXPECT_TRUE(gObserved.ownerDisabled);
  EXPECT_TRUE(gObserved.running);
  EXPECT_EQ(gObserved.nestedResult, Busy);
  ASSERT_NE(gObserved.window, nullptr);
  EXPECT_EQ(gObserved.label, "big.txt");
  EXPECT_FALSE(IsWindow(gObserved.window)) << "the window goes with the call";
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(getRunning_(), FALSE);
  EXPECT_EQ(readFile(at("a.zip")), before);
  EXPECT_EQ(namesIn(folder_).size(), 3u);
}

// Counts the progress windows made on this thread while it lives.
class ProgressWindowsMade {
 public:
  ProgressWindowsMade()
      : hook_(SetWindowsHookExA(WH_CBT, &ProgressWindowsMade::onEvent, nullptr,
                                GetCurrentThreadId())) {
    count_ = 0;
  }
  ~ProgressWindowsMade() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }
  ProgressWindowsMade(const ProgressWindowsMade&) = delete;
  ProgressWindowsMade& operator=(const ProgressWindowsMade&) = delete;
  bool hooked() const { return hook_ != nullptr; }
  int count() const { return count_; }

 private:
  static LRESULT CALLBACK onEvent(int code, WPARAM wParam, LPARAM lParam) {
    char name[64] = "";
    if (code == HCBT_CREATEWND &&
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name) > 0 &&
        std::string(name) == "SelvatZipProgress")
      ++count_;
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline int count_ = 0;
  HHOOK hook_;
};

// Small archives are done before a window would be worth watching: none is
// made, and the owner is never disabled, however the calls are timed.
TEST_F(Zip32DllTest, NoProgressWindowForArchivesDoneAtOnce) {
  OwnerWindow ownerWindow;
  HWND owner = ownerWindow.get();
  ASSERT_NE(owner, nullptr) << GetLastError();
  for (int i = 0; i < 3; ++i) writeFile(at("doc" + std::to_string(i) + ".txt"), textLike(12000));
  writeFile(at("empty.txt"), "");
  ProgressWindowsMade made;
  ASSERT_TRUE(made.hooked());
  for (const char* file : {"doc0.txt", "empty.txt"}) {
    EXPECT_EQ(zip("-6 -j \"" + at(std::string(file) + ".zip") + "\" \"" + at(file) + "\"", owner),
              Ok)
        << file;
  }
  EXPECT_EQ(zip("-6 -j \"" + at("all.zip") + "\" \"" + at("doc*.txt") + "\"", owner), Ok);
  EXPECT_EQ(made.count(), 0);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(checkArchive(at("all.zip"), {"doc0.txt", "doc1.txt", "doc2.txt"}), 0);
}

TEST_F(Zip32DllTest, BusyInAnotherProcess) {
  // Long enough for the helper's progress window, whose messages let it hold the call.
  writeFile(at("big.txt"), textLike(40000000));
  writeFile(at("small.txt"), textLike(4000));
  Handle started(CreateEventA(nullptr, TRUE, FALSE, "SelvatZipTestStarted"));
  Handle release(CreateEventA(nullptr, TRUE, FALSE, "SelvatZipTestRelease"));
  // Quotes inside the one argument are escaped as \" for the helper's argument split.
  std::string line =
      "zip32_busy_helper.exe SelvatZipTestStarted SelvatZipTestRelease \"-9 -j \\\"" + at("h.zip") +
      "\\\" \\\"" + at("big.txt") + "\\\"\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  Handle thread(process.hThread), helper(process.hProcess);
  ASSERT_EQ(WaitForSingleObject(started.get(), 20000), WAIT_OBJECT_0);
  EXPECT_EQ(getRunning_(), 1);
  EXPECT_EQ(zip("-6 -q -j \"" + at("mine.zip") + "\" \"" + at("small.txt") + "\""), Busy);
  SetEvent(release.get());
  ASSERT_EQ(WaitForSingleObject(helper.get(), 60000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(helper.get(), &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(getRunning_(), FALSE);
  EXPECT_EQ(zip("-6 -q -j \"" + at("mine.zip") + "\" \"" + at("small.txt") + "\""), Ok);
  EXPECT_EQ(checkArchive(at("h.zip"), {"big.txt"}), 0);
}

}  // namespace
