#pragma once
// The folder listing behind every source that can name a folder: each file
// of a folder, and optionally of all its sub-folders, depth first, in the
// order the search yields them.
#include <functional>
#include <string>

#include "os/file_system.h"
#include "os/key_state.h"

using PathHandler = std::function<void(const std::string&)>;
// An item that no code-page path reaches: its best code-page form, and why.
using RefusalHandler = std::function<void(const std::string& item, const std::string& reason)>;

// A path or listing entry is taken for a folder only when its attribute
// value is exactly the directory bit: a read-only (17), archive (48) or
// junction (1040) folder, and a path that does not exist, are admitted as
// entries of their own.
bool countsAsFolder(FileAttributes attributes);

// Hands prefix + name of every listed file of the folder to admit, where the
// prefix is the folder with one "\" appended unless it already ends in one
// and the name is the one that reaches the entry (its long name, or its
// short name where the code page cannot spell the long one); an entry that
// no name reaches goes to refuse.
// Hidden and system files are listed; volume labels never; folders (value
// 16) are listed in place when includeSubfolders is set, and skipped with
// every other entry carrying the directory bit otherwise. Escape down before
// an entry ends that folder; the parent polls again before its next entry.
// An exception from admit ends the whole listing and propagates; the paths
// handed over before it stay with the caller.
void listFolder(const std::string& folder, bool includeSubfolders, FileSystem& files,
                KeyState& keys, const PathHandler& admit, const RefusalHandler& refuse);
