// zip32j.dll called as the program calls it, and zlib alone beside it.
//   bench_zip_calls LIBRARY_FOLDER LEVEL OUTPUT_FOLDER FILE...
//     loads zip32j.dll from LIBRARY_FOLDER once and calls Zip quietly for
//     every file (one archive each, named as the program names it by
//     default); prints the seconds of all the calls.
//   bench_zip_calls --zlib LEVEL FILE OUTPUT
//     single-threaded zlib streaming: reads FILE, deflates it and writes
//     the raw stream to OUTPUT; prints the seconds.
#include <windows.h>

#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "zip32_api.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The archive's name as the program makes it by default: the file name
// without its extension, and ".zip".
std::string archiveName(const std::string& path) {
  std::size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.substr(0, name.rfind('.')) + ".zip";
}

int callZip(const char* libraries, int level, const std::string& outFolder, char** files,
            int count) {
  SetDllDirectoryA(libraries);
  HMODULE library = LoadLibraryA("zip32j.dll");
  auto zip =
      library ? reinterpret_cast<ZipProc>(reinterpret_cast<void*>(GetProcAddress(library, "Zip")))
              : nullptr;
  if (!zip) {
    std::fprintf(stderr, "cannot load zip32j.dll from %s\n", libraries);
    return 1;
  }
  auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    std::string input = files[i];
    std::string line = "-" + std::to_string(level) + " -q -j \"" + outFolder + "\\" +
                       archiveName(input) + "\" \"" + input + "\"";
    char output[256];
    if (int code = zip(nullptr, line.c_str(), output, sizeof output); code != 0) {
      std::fprintf(stderr, "%s: %d %s\n", input.c_str(), code, output);
      return 1;
    }
  }
  std::printf("%.6f\n", secondsSince(start));
  FreeLibrary(library);
  return 0;
}

class File {
 public:
  File(const char* path, bool write)
      : handle_(CreateFileA(path, write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, nullptr,
                            write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                            nullptr)) {}
  ~File() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  bool open() const { return handle_ != INVALID_HANDLE_VALUE; }
  DWORD read(void* buffer, DWORD size) {
    DWORD got = 0;
    return ReadFile(handle_, buffer, size, &got, nullptr) ? got : 0;
  }
  void write(const void* data, DWORD size) {
    DWORD done = 0;
    WriteFile(handle_, data, size, &done, nullptr);
  }

 private:
  HANDLE handle_;
};

int zlibStream(int level, const char* from, const char* to) {
  File input(from, false), output(to, true);
  if (!input.open() || !output.open()) {
    std::fprintf(stderr, "cannot open %s or %s\n", from, to);
    return 1;
  }
  auto start = Clock::now();
  z_stream stream{};
  deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::vector<unsigned char> in(256 * 1024), out(256 * 1024);
  uLong crc = crc32(0, nullptr, 0);
  for (;;) {
    DWORD got = input.read(in.data(), static_cast<DWORD>(in.size()));
    crc = crc32(crc, in.data(), got);
    stream.next_in = in.data();
    stream.avail_in = got;
    int result;
    do {
      stream.next_out = out.data();
      stream.avail_out = static_cast<uInt>(out.size());
      result = deflate(&stream, got == 0 ? Z_FINISH : Z_NO_FLUSH);
      output.write(out.data(), static_cast<DWORD>(out.size() - stream.avail_out));
    } while (stream.avail_out == 0 || (got == 0 && result != Z_STREAM_END));
    if (got == 0) break;
  }
  deflateEnd(&stream);
  std::printf("%.6f\n", secondsSince(start));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--zlib") == 0)
    return zlibStream(std::atoi(argv[2]), argv[3], argv[4]);
  if (argc >= 5 && argv[1][0] != '-')
    return callZip(argv[1], std::atoi(argv[2]), argv[3], argv + 4, argc - 4);
  std::fprintf(stderr,
               "usage: bench_zip_calls LIBRARY_FOLDER LEVEL OUTPUT_FOLDER FILE...\n"
               "       bench_zip_calls --zlib LEVEL FILE OUTPUT\n");
  return 2;
}
