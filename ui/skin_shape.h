// The window shape cut from a mask picture, and the repaint region of the
// advanced page. Both are computed here as runs of pixels, so that they are
// tested natively; the Win32 adapter turns the runs into system regions.
//
// The rule: start with the whole picture; every pixel whose red, green and blue
// all exceed 100 is taken out. Light parts of the mask are thus transparent.
#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "platform/picture_port.h"
#include "ui/skin_tables.h"

namespace nuv {

constexpr uint8_t kMaskCutThreshold = 100;

inline bool IsTransparentMaskPixel(uint8_t red, uint8_t green, uint8_t blue) {
  return red > kMaskCutThreshold && green > kMaskCutThreshold && blue > kMaskCutThreshold;
}

// One horizontal run of pixels [x0, x1) on row y.
struct PixelRun {
  int32_t y = 0;
  int32_t x0 = 0;
  int32_t x1 = 0;
  bool operator==(const PixelRun&) const = default;
};

// A rectangle of a region, half-open like the system's region rectangles.
struct RegionRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const RegionRect&) const = default;
};

// A set of pixels kept as runs, sorted by row and then by x, never touching or
// overlapping within a row.
class PixelRegion {
 public:
  PixelRegion() = default;
  PixelRegion(int32_t width, int32_t height, std::vector<PixelRun> runs)
      : width_(width), height_(height), runs_(std::move(runs)) {}

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  const std::vector<PixelRun>& runs() const { return runs_; }
  bool Contains(int32_t x, int32_t y) const;
  uint64_t PixelCount() const;

  // The same pixels with the given rectangles taken out.
  PixelRegion Without(std::span<const SkinRect> rects) const;

  // The runs joined into bands: rows with identical runs one below the other
  // become one rectangle each, which keeps the system region small.
  std::vector<RegionRect> Rectangles() const;

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<PixelRun> runs_;
};

// The window shape of a mask picture, found row by row as runs.
PixelRegion WindowShapeFromMask(const Picture& mask);

// The rule as the system applies it, pixel by pixel: a coverage map of the
// picture (row-major, 1 = inside) that starts full and has every transparent
// pixel, visited column by column, flipped by an exclusive-or with its 1-by-1
// rectangle. Slow; the reference that the run-based shape is checked against.
std::vector<uint8_t> WindowShapeByPixels(const Picture& mask);

// The repaint region of the advanced page: the window shape without the
// macro-name edit box, the event list and the macro-name list, which the page
// must not paint over.
PixelRegion RepaintRegionFrom(const PixelRegion& shape, const MacroControlRects& controls);

}  // namespace nuv
