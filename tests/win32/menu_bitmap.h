// A 32-bit surface in a memory device context for drawing menu items (used by
// the Windows tests), read back pixel by pixel and saved as a BMP file to be looked at.
#pragma once

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "ui/nuv_menu.h"

namespace nuv {

// Pixels against system colours; beside MenuRgb so that test macros find it.
inline bool operator==(const MenuRgb& a, COLORREF b) {
  return a.red == GetRValue(b) && a.green == GetGValue(b) && a.blue == GetBValue(b);
}

}  // namespace nuv

namespace nuv::test {

// A 32-bit top-down surface in a memory device context.
class MenuBitmap {
 public:
  MenuBitmap(const MenuBitmap&) = delete;
  MenuBitmap& operator=(const MenuBitmap&) = delete;
  MenuBitmap(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~MenuBitmap() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  MenuRgb At(int x, int y) const {
    GdiFlush();
    const uint32_t p = static_cast<const uint32_t*>(bits_)[y * width_ + x];
    return {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)};
  }
  // Writes the surface as a 24-bit BMP file.
  void Save(const std::string& path) const {
    const int stride = (width_ * 3 + 3) & ~3;
    std::vector<char> rows(static_cast<size_t>(stride) * height_, 0);
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        const MenuRgb c = At(x, y);
        char* p = &rows[static_cast<size_t>((height_ - 1 - y) * stride + x * 3)];
        p[0] = static_cast<char>(c.blue);
        p[1] = static_cast<char>(c.green);
        p[2] = static_cast<char>(c.red);
      }
    }
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width_;
    header.biHeight = height_;
    header.biPlanes = 1;
    header.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(rows.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  void* bits_ = nullptr;
};

}  // namespace nuv::test
