#pragma once
// The process short of memory while one of these lives: every free range
// of its address space of kSpared bytes or more is reserved, and every heap
// block of that size taken, so that any allocation larger than that fails.
// Smaller ones still work, as the unwinding of an exception needs them
// (under Wine, throwing with no memory at all overflows the stack).
// Only a 32-bit process can be run short of address space; in a 64-bit one
// this does nothing (see exhaustible()).
#include <windows.h>

#include <cstdlib>
#include <vector>

class MemoryExhausted {
 public:
  static constexpr std::size_t kSpared = 1 << 20;
  static bool exhaustible() { return sizeof(void*) == 4; }

  MemoryExhausted() {
    if (!exhaustible()) return;
    ranges_.reserve(1 << 12);  // 4 GiB in ranges of kSpared
    for (SIZE_T size = SIZE_T(1) << 30; size >= kSpared; size /= 2) {
      while (ranges_.size() < ranges_.capacity())
        if (void* range = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS))
          ranges_.push_back(range);
        else
          break;
      // What the heaps still hold in one piece, each block naming the one before.
      while (void* block = std::malloc(size)) chain(mallocBlocks_, block);
      while (void* block = HeapAlloc(GetProcessHeap(), 0, size)) chain(heapBlocks_, block);
    }
  }
  ~MemoryExhausted() {
    while (void* block = unchain(heapBlocks_)) HeapFree(GetProcessHeap(), 0, block);
    while (void* block = unchain(mallocBlocks_)) std::free(block);
    for (void* range : ranges_) VirtualFree(range, 0, MEM_RELEASE);
  }
  MemoryExhausted(const MemoryExhausted&) = delete;
  MemoryExhausted& operator=(const MemoryExhausted&) = delete;

 private:
  static void chain(void*& last, void* block) {
    *static_cast<void**>(block) = last;
    last = block;
  }
  static void* unchain(void*& last) {
    void* block = last;
    if (block) last = *static_cast<void**>(block);
    return block;
  }

  std::vector<void*> ranges_;
  void* mallocBlocks_ = nullptr;
  void* heapBlocks_ = nullptr;
};
