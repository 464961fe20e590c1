// zip32j.dll: the archiver's call interface. Parses the command line,
// keeps the session-wide busy flag, shows the progress window unless
// quiet, and has zip32.dll make the archive.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <vector>

#include "call_boundary.h"
#include "command_line.h"
#include "engine.h"
#include "engine_library.h"
#include "progress_window.h"
#include "result.h"
#include "version.h"
#include "zip32_api.h"

namespace {

using zip32::Outcome;
using zip32::ResultCode;

// Held while a Zip call runs in any process of the session.
const char kRunningName[] = "Local\\SelvatZip32jRunning";
// Zip calls of this process, also those made from a message pumped inside a call.
std::atomic<bool> gInCall{false};

// The mutex of the session, opened (or made) by this process's first look
// and kept until zip32j.dll is unloaded, so that a run of many archives
// opens it once.
class SessionMutex {
 public:
  static HANDLE handle() {
    static SessionMutex mutex;
    return mutex.handle_;
  }
  SessionMutex(const SessionMutex&) = delete;
  SessionMutex& operator=(const SessionMutex&) = delete;

 private:
  SessionMutex() : handle_(CreateMutexA(nullptr, FALSE, kRunningName)) {}
  ~SessionMutex() {
    if (handle_) CloseHandle(handle_);
  }
  HANDLE handle_;
};

// Holds the session's mutex for one Zip call.
class RunningMutex {
 public:
  RunningMutex() {
    // A short wait: ZipGetRunning may hold the mutex for a moment to look at it.
    if (HANDLE handle = SessionMutex::handle()) {
      DWORD wait = WaitForSingleObject(handle, 200);
      owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
  }
  ~RunningMutex() {
    if (owned_) ReleaseMutex(SessionMutex::handle());
  }
  RunningMutex(const RunningMutex&) = delete;
  RunningMutex& operator=(const RunningMutex&) = delete;
  bool owned() const { return owned_; }

 private:
  bool owned_ = false;
};

class CallFlag {
 public:
  CallFlag() : first_(!gInCall.exchange(true)) {}
  ~CallFlag() {
    if (first_) gInCall = false;
  }
  CallFlag(const CallFlag&) = delete;
  CallFlag& operator=(const CallFlag&) = delete;
  bool first() const { return first_; }

 private:
  bool first_;
};

HINSTANCE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&thisModule), &module);
  return module;
}

// The progress window as zip32.dll's callback reaches it. What it throws
// must not unwind through zip32.dll: it cancels the work, and Zip says why.
struct ProgressReport {
  zip32::ProgressWindow& window;
  bool failed = false;
};

std::int32_t ZIP32_WINAPI reportProgress(void* context, const char* name, std::uint64_t done,
                                         std::uint64_t total) noexcept {
  auto* report = static_cast<ProgressReport*>(context);
  try {
    return report->window.update(name ? name : "", done, total) ? 0 : 1;
  } catch (...) {
    report->failed = true;
    return 1;
  }
}

Outcome runEngine(HWND owner, const zip32::CommandLine& line) {
  ZpArchiveProc archive = zip32::EngineLibrary::archive();
  if (!archive) return {ResultCode::EngineMissing, "zip32.dllを読み込めません。"};
  std::vector<const char*> inputs;
  std::size_t longest = line.archive.size();
  for (const std::string& input : line.inputs) {
    inputs.push_back(input.c_str());
    longest = std::max(longest, input.size());
  }
  ZpArchiveRequest request{sizeof(ZpArchiveRequest),
                           line.level,
                           line.junkPaths ? 1 : 0,
                           line.archive.c_str(),
                           static_cast<std::uint32_t>(inputs.size()),
                           inputs.data(),
                           nullptr,
                           nullptr};
  // Room for a message that names any of the paths.
  std::vector<char> text(longest + 256);
  std::int32_t code;
  if (line.quiet) {
    code = archive(&request, text.data(), static_cast<std::uint32_t>(text.size()));
  } else {
    zip32::ProgressWindow window(owner, thisModule(), line.archive);
    ProgressReport report{window};
    request.progress = &reportProgress;
    request.context = &report;
    code = archive(&request, text.data(), static_cast<std::uint32_t>(text.size()));
    if (report.failed) throw std::bad_alloc();
  }
  return {static_cast<ResultCode>(code), text.data()};
}

Outcome runZip(HWND owner, const char* commandLine) {
  const Outcome busy{ResultCode::Busy, "他の圧縮処理が実行中です。"};
  CallFlag call;
  if (!call.first()) return busy;
  RunningMutex running;
  if (!running.owned()) return busy;
  zip32::ParsedCommandLine parsed = zip32::parseCommandLine(commandLine ? commandLine : "");
  if (!parsed.ok)
    return {ResultCode::BadCommandLine, "コマンドラインが正しくありません: " + parsed.error};
  return runEngine(owner, parsed.commandLine);
}

}  // namespace

extern "C" {

std::int32_t ZIP32_WINAPI Zip(void* window, const char* commandLine, char* output,
                              std::uint32_t outputSize) noexcept {
  return zip32::answerCall([&] { return runZip(static_cast<HWND>(window), commandLine); }, output,
                           outputSize);
}

std::uint16_t ZIP32_WINAPI ZipGetVersion(void) noexcept {
  return zip32::kLibraryVersion;
}

std::int32_t ZIP32_WINAPI ZipGetRunning(void) noexcept {
  if (gInCall) return 1;
  HANDLE handle = SessionMutex::handle();
  if (!handle) return 0;
  DWORD wait = WaitForSingleObject(handle, 0);
  if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) ReleaseMutex(handle);
  return wait == WAIT_TIMEOUT ? 1 : 0;
}
}
