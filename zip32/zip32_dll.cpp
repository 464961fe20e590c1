// zip32.dll: the ZIP engine behind a C call, and its version record.
#include <cstring>
#include <vector>

#include "engine.h"
#include "engine_api.h"
#include "version.h"

namespace {

class CallbackProgress : public zip32::Progress {
 public:
  explicit CallbackProgress(const ZpArchiveRequest& request) : request_(request) {}
  bool onProgress(const std::string& name, std::uint64_t done, std::uint64_t total) override {
    return !request_.progress ||
           request_.progress(request_.context, name.c_str(), done, total) == 0;
  }

 private:
  const ZpArchiveRequest& request_;
};

zip32::Outcome archive(const ZpArchiveRequest* request) {
  if (!request || request->structSize < sizeof(ZpArchiveRequest) || !request->archive ||
      (request->inputCount > 0 && !request->inputs))
    return {zip32::ResultCode::BadCommandLine, "呼び出しの引数が正しくありません。"};
  zip32::ArchiveRequest parsed;
  parsed.level = request->level;
  parsed.junkPaths = request->junkPaths != 0;
  parsed.archive = request->archive;
  for (DWORD i = 0; i < request->inputCount; ++i)
    parsed.patterns.push_back(request->inputs[i] ? request->inputs[i] : "");
  CallbackProgress progress(*request);
  return zip32::makeArchive(parsed, zip32::systemFileSystem(), zip32::systemCodePage(), progress);
}

}  // namespace

extern "C" {

// Fills the 60-byte version record: bytes 56, 57 and 58 are the engine's major, minor and patch.
void WINAPI ZpVersion(void* record) {
  if (!record) return;
  unsigned char* bytes = static_cast<unsigned char*>(record);
  std::memset(bytes, 0, 60);
  bytes[56] = zip32::kEngineMajor;
  bytes[57] = zip32::kEngineMinor;
  bytes[58] = zip32::kEnginePatch;
}

int WINAPI ZpArchive(const ZpArchiveRequest* request, char* message, DWORD messageSize) {
  zip32::Outcome outcome;
  try {
    outcome = archive(request);
  } catch (...) {
    outcome = {zip32::ResultCode::OutOfMemory, "メモリが足りません。"};
  }
  zip32::copyMessage(outcome.message, message, messageSize, zip32::systemCodePage());
  return static_cast<int>(outcome.code);
}
}
