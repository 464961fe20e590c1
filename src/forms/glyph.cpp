#include "forms/glyph.h"

#include <cstring>

namespace {
const char kLetters[] = "KmgonptsdRGYBMCW";
const RGBQUAD kPalette[16] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},   {0, 128, 0, 0},   {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0}, {128, 128, 0, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},   {0, 255, 0, 0},   {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 255, 255, 0}};
constexpr unsigned char kGrey = 8, kWhite = 15;

unsigned char indexOf(char letter) {
  const char* found = std::strchr(kLetters, letter);
  return found && letter ? static_cast<unsigned char>(found - kLetters) : 0;
}

bool isInk(unsigned char index) {  // dark enough to show in the embossed copy
  const RGBQUAD& c = kPalette[index];
  return (c.rgbRed * 30 + c.rgbGreen * 59 + c.rgbBlue * 11) / 100 < 192;
}
}  // namespace

TGlyph::TGlyph(const std::vector<std::string>& rows) {
  height_ = static_cast<int>(rows.size());
  width_ = height_ ? static_cast<int>(rows[0].size()) : 0;
  const int stride = 2 * width_;
  // Palette indexes, top row first, both images side by side.
  std::vector<unsigned char> pixels(static_cast<size_t>(stride * height_), 0);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      pixels[y * stride + x] = indexOf(x < static_cast<int>(rows[y].size()) ? rows[y][x] : 'K');
  const unsigned char clear = pixels[(height_ - 1) * stride];  // bottom-left

  // The disabled copy: ink becomes grey with a white highlight below right.
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) pixels[y * stride + width_ + x] = clear;
  auto ink = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    unsigned char p = pixels[y * stride + x];
    return p != clear && isInk(p);
  };
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      unsigned char& out = pixels[y * stride + width_ + x];
      if (ink(x, y))
        out = kGrey;
      else if (ink(x - 1, y - 1))
        out = kWhite;
    }

  // A 4-bit DIB section, rows bottom-up and padded to whole 32-bit words.
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[16];
  } info{};
  info.header.biSize = sizeof info.header;
  info.header.biWidth = stride;
  info.header.biHeight = height_;
  info.header.biPlanes = 1;
  info.header.biBitCount = 4;
  info.header.biCompression = BI_RGB;
  std::memcpy(info.colors, kPalette, sizeof kPalette);
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                 &bits, nullptr, 0));
  if (!bitmap_ || !bits) return;
  const int rowBytes = ((stride * 4 + 31) / 32) * 4;
  auto* out = static_cast<unsigned char*>(bits);
  std::memset(out, 0, static_cast<size_t>(rowBytes * height_));
  for (int y = 0; y < height_; ++y) {
    unsigned char* row = out + (height_ - 1 - y) * rowBytes;
    for (int x = 0; x < stride; ++x) {
      unsigned char p = pixels[y * stride + x];
      row[x / 2] |= (x % 2 == 0) ? static_cast<unsigned char>(p << 4) : p;
    }
  }
  const RGBQUAD& c = kPalette[clear];
  transparent_ = RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

void TGlyph::Draw(HDC dc, int x, int y, bool enabled) const {
  if (!bitmap_) return;
  OwnedDc memory(CreateCompatibleDC(dc));
  HGDIOBJ old = SelectObject(memory.get(), bitmap_.get());
  TransparentBlt(dc, x, y, width_, height_, memory.get(), enabled ? 0 : width_, 0, width_, height_,
                 transparent_);
  SelectObject(memory.get(), old);
}
