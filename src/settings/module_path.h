#pragma once
#include <string>

// The running executable's full path as the platform gives it, however
// long. Windows build only.
std::string modulePath();
