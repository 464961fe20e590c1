// zip32.dll: the ZIP engine behind a C call, and its version record.
#include <cstdint>
#include <cstring>
#include <vector>

#include "call_boundary.h"
#include "engine.h"
#include "version.h"
#include "zip32_api.h"

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
  for (std::uint32_t i = 0; i < request->inputCount; ++i)
    parsed.patterns.push_back(request->inputs[i] ? request->inputs[i] : "");
  CallbackProgress progress(*request);
  return zip32::makeArchive(parsed, zip32::systemFileSystem(), zip32::systemCodePage(), progress);
}

}  // namespace

extern "C" {

// Fills the version record: bytes 56, 57 and 58 are the engine's major, minor and patch.
void ZIP32_WINAPI ZpVersion(void* record) noexcept {
  if (!record) return;
  unsigned char* bytes = static_cast<unsigned char*>(record);
  std::memset(bytes, 0, ZP_VERSION_RECORD_SIZE);
  bytes[56] = zip32::kEngineMajor;
  bytes[57] = zip32::kEngineMinor;
  bytes[58] = zip32::kEnginePatch;
}

std::int32_t ZIP32_WINAPI ZpArchive(const ZpArchiveRequest* request, char* message,
                                    std::uint32_t messageSize) noexcept {
  return zip32::answerCall([request] { return archive(request); }, message, messageSize);
}
}
