#include "winapp/skin_region.h"

#include "platform/win32/gdi_handle.h"

#include <algorithm>
#include <vector>

namespace nuv::win32 {

namespace {

// Some systems refuse region data with very many rectangles; larger shapes are
// built in chunks and joined.
constexpr size_t kRectsPerChunk = 2000;

HRGN CreateChunk(const RegionRect* rects, size_t count) {
  std::vector<unsigned char> buffer(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(count);
  data->rdh.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
  RECT bounds{0, 0, 0, 0};
  auto* out = reinterpret_cast<RECT*>(data->Buffer);
  for (size_t i = 0; i < count; ++i) {
    out[i] = RECT{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
    if (i == 0) {
      bounds = out[i];
    } else {
      UnionRect(&bounds, &bounds, &out[i]);
    }
  }
  data->rdh.rcBound = bounds;
  return ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);
}

}  // namespace

HRGN CreateRegionFrom(const PixelRegion& region) {
  const std::vector<RegionRect> rects = region.Rectangles();
  HRGN result = CreateRectRgn(0, 0, 0, 0);
  for (size_t start = 0; start < rects.size(); start += kRectsPerChunk) {
    const size_t count = std::min(kRectsPerChunk, rects.size() - start);
    const RegionHandle chunk(CreateChunk(rects.data() + start, count));
    if (!chunk) continue;
    CombineRgn(result, result, chunk.get(), RGN_OR);
  }
  return result;
}

HRGN CreateRegionPixelByPixel(const Picture& mask) {
  HRGN result = CreateRectRgn(0, 0, mask.width, mask.height);
  for (int32_t x = 0; x < mask.width; ++x) {
    for (int32_t y = 0; y < mask.height; ++y) {
      const uint8_t* p = mask.Pixel(x, y);
      if (!IsTransparentMaskPixel(p[0], p[1], p[2])) continue;
      const RegionHandle pixel(CreateRectRgn(x, y, x + 1, y + 1));
      CombineRgn(result, result, pixel.get(), RGN_XOR);
    }
  }
  return result;
}

}  // namespace nuv::win32
