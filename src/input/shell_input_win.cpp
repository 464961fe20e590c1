#include "input/shell_input.h"
// After windows.h, which the header brings.
#include <shlobj.h>

#include <memory>

UINT DroppedFiles::count() const {
  return DragQueryFileA(drop_, 0xFFFFFFFF, nullptr, 0);
}

std::string DroppedFiles::path(UINT index) const {
  std::string path(DragQueryFileA(drop_, index, nullptr, 0) + 1, '\0');
  path.resize(DragQueryFileA(drop_, index, path.data(), static_cast<UINT>(path.size())));
  return path;
}

namespace {

struct ReleaseMalloc {
  void operator()(IMalloc* malloc) const { malloc->Release(); }
};
using ShellMalloc = std::unique_ptr<IMalloc, ReleaseMalloc>;

// An item list, freed with the shell's allocator that made it.
class ItemList {
 public:
  ItemList(LPITEMIDLIST items, IMalloc& malloc) : items_(items), malloc_(malloc) {}
  ~ItemList() {
    if (items_) malloc_.Free(items_);
  }
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;
  LPITEMIDLIST get() const { return items_; }

 private:
  LPITEMIDLIST items_;
  IMalloc& malloc_;
};

}  // namespace

std::string chooseFolder(HWND owner, const std::string& title) {
  IMalloc* rawMalloc = nullptr;
  if (FAILED(SHGetMalloc(&rawMalloc)) || !rawMalloc) return {};
  ShellMalloc malloc(rawMalloc);

  char path[MAX_PATH] = {};  // the display name, then the path: the API's own size
  BROWSEINFOA browse{};
  browse.hwndOwner = owner;
  browse.pszDisplayName = path;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  ItemList chosen(SHBrowseForFolderA(&browse), *malloc);
  if (!chosen.get()) return {};
  // A choice without a file-system path leaves the buffer undefined.
  if (!SHGetPathFromIDListA(chosen.get(), path)) return {};
  return path;
}
