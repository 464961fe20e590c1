#pragma once
// Long-name expansion of a command-line argument: every component that the
// file system knows is replaced by its long name in its stored case (or by
// its short name where the code page cannot spell the long one), from the
// last one backwards, up to the first that cannot be found.
#include <string>

#include "os/file_system.h"

// A path that is not fully qualified (report.txt, sub\report.txt, \dir\x,
// C:x) or that is written with forward slashes is first made the full path
// it names in the current directory. The walk stops at the drive ("C:") or
// share ("\\server\share") prefix, which stays as written; a path whose
// last component cannot be found is returned as it stands.
std::string ExpandLongPath(const std::string& path, FileSystem& files);
