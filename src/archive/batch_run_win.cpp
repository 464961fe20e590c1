#include <windows.h>

#include "archive/batch_run.h"
#include "os/file_system.h"

bool fileExistsAt(const std::string& path) {
  return existsAsFile(GetFileAttributesA(path.c_str()));
}
