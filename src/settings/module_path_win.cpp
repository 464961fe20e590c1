#include <windows.h>

#include <stdexcept>

#include "settings/module_path.h"

std::string modulePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) throw std::runtime_error("実行ファイルのパスを取得できません");
    // A result that fills the whole buffer may have been cut: try a bigger one.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}
