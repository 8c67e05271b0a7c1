// A window's display scale: its DPI over 96. The skin's files speak in skin
// units, the pixels of the 1x pictures; a window at another scale draws every
// rectangle, text and picture at its own pixels, and turns the pointer's pixel
// positions back into skin units at its edge, so that every rule of the pages
// keeps working in skin units.
#pragma once

#include <cstdint>

#include "platform/picture_port.h"

namespace nuv {

constexpr int32_t kBaseDpi = 96;

class DisplayScale {
 public:
  DisplayScale() = default;
  // A DPI below 96 or above 960 (a system value out of any display's range)
  // is taken as the nearest of the two.
  explicit DisplayScale(int32_t dpi);

  int32_t dpi() const { return dpi_; }
  bool IsBase() const { return dpi_ == kBaseDpi; }

  // The pixel where skin unit `units` begins: units × DPI / 96, rounded to the
  // nearest pixel (halves up). An edge maps to one pixel whichever rectangle
  // it bounds, so neighbouring keys never overlap or leave a gap.
  int32_t ToPixels(int32_t units) const;
  // The skin unit that pixel `pixels` lies in: the last unit whose first
  // pixel is at or before it (the inverse of ToPixels on every unit's pixels).
  int32_t ToUnits(int32_t pixels) const;

 private:
  int32_t dpi_ = kBaseDpi;
};

// The picture scales that our skin generator draws beside the 1x pictures, in
// tenths: 1, 1.5, 2 and 3 ("name@1.5x.jpg", "name@2x.jpg", "name@3x.jpg").
constexpr int32_t kPictureScaleTenths[] = {10, 15, 20, 30};

// Which drawn scale a window of `scale` uses: the smallest at or above its
// scale (reduced to it with a high-quality filter), the largest above 3.
int32_t PictureScaleTenthsFor(const DisplayScale& scale);

// `from` resampled to `width` by `height`: an area average where it reduces
// (every source pixel counts by how much of it an output pixel covers) and
// bilinear where it enlarges, so that a finer picture is reduced, or another
// skin's 1x picture enlarged, without the blocks and jags of a pixel copy.
// Empty for an empty picture or size.
Picture ResamplePicture(const Picture& from, int32_t width, int32_t height);

// The skin picture at `path` ("...\\name.jpg") at `scale`: from the finest file
// our generator drew for that scale ("...\\name@2x.jpg"), else the 1x file,
// resampled to the 1x size in this scale's pixels. Empty when no file could
// be decoded or the result would exceed the largest picture side.
Picture LoadPictureAtScale(PicturePort& decoder, const Text& path, const DisplayScale& scale);

}  // namespace nuv
