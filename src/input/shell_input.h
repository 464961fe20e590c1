#pragma once
// What the shell hands to the input list: the paths of a drop and the folder
// chosen in the folder browser. Windows only.
#include <windows.h>
// The shell headers need windows.h before them.
#include <shellapi.h>

#include <string>

// Owns the drop handle of a WM_DROPFILES message and releases it
// (DragFinish) when destroyed, also when admitting a path throws.
class DroppedFiles {
 public:
  explicit DroppedFiles(HDROP drop) : drop_(drop) {}
  ~DroppedFiles() { DragFinish(drop_); }
  DroppedFiles(const DroppedFiles&) = delete;
  DroppedFiles& operator=(const DroppedFiles&) = delete;

  UINT count() const;
  // The whole path at index, however long: its length is asked first.
  std::string path(UINT index) const;

 private:
  HDROP drop_;
};

// Runs the shell's folder browser, owned by owner, with title above the tree:
// only file-system folders can be confirmed, the tree starts at the desktop
// and nothing is preselected. The chosen folder's path (a drive root with its
// backslash), or empty text when the user cancels or the choice has no path.
std::string chooseFolder(HWND owner, const std::string& title);
