#pragma once
// One owner for every Win32 handle: a move-only holder that frees the
// handle with the function it was made for.
#include <windows.h>

#include <utility>

template <typename Handle, auto Free, Handle Null = Handle{}>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Null)) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, Null));
    return *this;
  }
  ~Owned() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Null; }
  Handle release() { return std::exchange(handle_, Null); }
  void reset(Handle handle = Null) {
    if (handle_ != Null) Free(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Null;
};

inline void deleteGdiObject(HGDIOBJ object) {
  DeleteObject(object);
}
inline void destroyWindow(HWND window) {
  DestroyWindow(window);
}
inline void destroyMenu(HMENU menu) {
  DestroyMenu(menu);
}
inline void deleteDc(HDC dc) {
  DeleteDC(dc);
}

using OwnedFont = Owned<HFONT, deleteGdiObject>;
using OwnedBitmap = Owned<HBITMAP, deleteGdiObject>;
using OwnedMenu = Owned<HMENU, destroyMenu>;
using OwnedDc = Owned<HDC, deleteDc>;
