#include "ui/skin_shape.h"

#include <algorithm>

namespace nuv {

bool PixelRegion::Contains(int32_t x, int32_t y) const {
  // First run not before (y, x): the candidate is the one just before it.
  auto it = std::upper_bound(
      runs_.begin(), runs_.end(), PixelRun{y, x, x},
      [](const PixelRun& a, const PixelRun& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
  if (it == runs_.begin()) return false;
  --it;
  return it->y == y && x >= it->x0 && x < it->x1;
}

uint64_t PixelRegion::PixelCount() const {
  uint64_t count = 0;
  for (const auto& run : runs_) count += static_cast<uint64_t>(run.x1 - run.x0);
  return count;
}

PixelRegion PixelRegion::Without(std::span<const SkinRect> rects) const {
  std::vector<PixelRun> out;
  out.reserve(runs_.size());
  std::vector<PixelRun> pieces;
  for (const auto& run : runs_) {
    pieces.assign(1, run);
    for (const auto& rect : rects) {
      const SkinBox box = ToBox(rect);
      if (rect.width <= 0 || rect.height <= 0 || run.y < box.top || run.y >= box.bottom) continue;
      std::vector<PixelRun> next;
      for (const auto& piece : pieces) {
        if (box.right <= piece.x0 || box.left >= piece.x1) {
          next.push_back(piece);
          continue;
        }
        if (box.left > piece.x0) next.push_back({piece.y, piece.x0, box.left});
        if (box.right < piece.x1) next.push_back({piece.y, box.right, piece.x1});
      }
      pieces.swap(next);
    }
    out.insert(out.end(), pieces.begin(), pieces.end());
  }
  return PixelRegion(width_, height_, std::move(out));
}

std::vector<RegionRect> PixelRegion::Rectangles() const {
  std::vector<RegionRect> rects;
  size_t band_start = 0;  // first rectangle of the previous row's band
  size_t band_end = 0;    // one past its last
  int32_t band_row = -1;  // the row that band reached last
  size_t i = 0;
  while (i < runs_.size()) {
    const int32_t y = runs_[i].y;
    size_t j = i;
    while (j < runs_.size() && runs_[j].y == y) ++j;
    // Grow the previous band when this row continues it with identical runs.
    bool same = band_row == y - 1 && band_end - band_start == j - i;
    for (size_t k = 0; same && k < j - i; ++k) {
      same = rects[band_start + k].left == runs_[i + k].x0 &&
             rects[band_start + k].right == runs_[i + k].x1;
    }
    if (same) {
      for (size_t k = band_start; k < band_end; ++k) rects[k].bottom = y + 1;
    } else {
      band_start = rects.size();
      for (size_t k = i; k < j; ++k) rects.push_back({runs_[k].x0, y, runs_[k].x1, y + 1});
      band_end = rects.size();
    }
    band_row = y;
    i = j;
  }
  return rects;
}

PixelRegion WindowShapeFromMask(const Picture& mask) {
  std::vector<PixelRun> runs;
  if (mask.empty()) return PixelRegion();
  for (int32_t y = 0; y < mask.height; ++y) {
    int32_t x = 0;
    while (x < mask.width) {
      while (x < mask.width) {
        const uint8_t* p = mask.Pixel(x, y);
        if (!IsTransparentMaskPixel(p[0], p[1], p[2])) break;
        ++x;
      }
      const int32_t start = x;
      while (x < mask.width) {
        const uint8_t* p = mask.Pixel(x, y);
        if (IsTransparentMaskPixel(p[0], p[1], p[2])) break;
        ++x;
      }
      if (x > start) runs.push_back({y, start, x});
    }
  }
  return PixelRegion(mask.width, mask.height, std::move(runs));
}

std::vector<uint8_t> WindowShapeByPixels(const Picture& mask) {
  if (mask.empty()) return {};
  const size_t width = static_cast<size_t>(mask.width);
  std::vector<uint8_t> covered(width * static_cast<size_t>(mask.height), 1);
  for (int32_t x = 0; x < mask.width; ++x) {
    for (int32_t y = 0; y < mask.height; ++y) {
      const uint8_t* p = mask.Pixel(x, y);
      if (IsTransparentMaskPixel(p[0], p[1], p[2])) {
        covered[static_cast<size_t>(y) * width + static_cast<size_t>(x)] ^= 1;
      }
    }
  }
  return covered;
}

PixelRegion RepaintRegionFrom(const PixelRegion& shape, const MacroControlRects& controls) {
  const SkinRect controlRects[] = {controls.macroNameEdit, controls.macroEventList,
                                   controls.macroNameList};
  return shape.Without(controlRects);
}

}  // namespace nuv
