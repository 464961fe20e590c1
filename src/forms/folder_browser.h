#pragma once
// The shell's folder browser: only file-system folders can be chosen, the
// tree starts at the desktop and nothing is preselected.
#include <windows.h>

#include <functional>
#include <string>

// The chosen folder's path in UTF-8, which spells every name (a drive root
// keeps its backslash), or empty text when the user cancels or the browser
// cannot be opened. The browser is centred over the window `over` where it
// is shown.
std::string browseForFolder(HWND owner, const std::string& title, HWND over = nullptr);

// Test seam: answers in place of the browser while set.
void setFolderBrowserStandIn(std::function<std::string(const std::string& title)> standIn);
