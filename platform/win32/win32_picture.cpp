#include "platform/win32/win32_picture.h"

#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the COM declarations that GDI+ needs.
#include <objidl.h>
// GDI+ headers use min and max, which NOMINMAX removes from windows.h.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <mutex>
#include <new>

#include "platform/win32/win32_text.h"

namespace nuv::win32 {

namespace {

std::mutex g_lock;
int g_instances = 0;
ULONG_PTR g_token = 0;
bool g_started = false;

bool EnsureStarted() {
  std::lock_guard lock(g_lock);
  if (!g_started) {
    Gdiplus::GdiplusStartupInput input;
    g_started = Gdiplus::GdiplusStartup(&g_token, &input, nullptr) == Gdiplus::Ok;
  }
  return g_started;
}

}  // namespace

GdiplusPictures::GdiplusPictures() {
  std::lock_guard lock(g_lock);
  ++g_instances;
}

GdiplusPictures::~GdiplusPictures() {
  std::lock_guard lock(g_lock);
  if (--g_instances == 0 && g_started) {
    Gdiplus::GdiplusShutdown(g_token);
    g_started = false;
  }
}

bool GdiplusPictures::Load(const Text& path, Picture& out) {
  out = Picture{};
  if (!EnsureStarted()) return false;
  Gdiplus::Bitmap bitmap(W(path), FALSE);
  if (bitmap.GetLastStatus() != Gdiplus::Ok) return false;
  const UINT width = bitmap.GetWidth();
  const UINT height = bitmap.GetHeight();
  if (width == 0 || height == 0 || width > static_cast<UINT>(kMaxPictureSide) ||
      height > static_cast<UINT>(kMaxPictureSide)) {
    return false;
  }
  Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
  Gdiplus::BitmapData data{};
  if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) !=
      Gdiplus::Ok) {
    return false;
  }
  try {
    out.rgb.resize(static_cast<size_t>(width) * height * 3);
  } catch (const std::bad_alloc&) {
    bitmap.UnlockBits(&data);
    out = Picture{};
    return false;
  }
  out.width = static_cast<int32_t>(width);
  out.height = static_cast<int32_t>(height);
  for (UINT y = 0; y < height; ++y) {
    const auto* row =
        static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
    uint8_t* target = out.rgb.data() + static_cast<size_t>(y) * width * 3;
    for (UINT x = 0; x < width; ++x) {
      // GDI+ keeps 24-bit pixels in blue, green, red order.
      target[x * 3 + 0] = row[x * 3 + 2];
      target[x * 3 + 1] = row[x * 3 + 1];
      target[x * 3 + 2] = row[x * 3 + 0];
    }
  }
  bitmap.UnlockBits(&data);
  return true;
}

bool FileExists(const Text& path) {
  const DWORD attributes = GetFileAttributesW(W(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace nuv::win32
