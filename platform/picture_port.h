// Pictures of the skin: decoded JPEG files as plain pixels, so that the window
// shape and everything else computed from a picture stays portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace nuv {

// Decoded pixels, rows from the top, three bytes (red, green, blue) per pixel.
struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgb;

  bool empty() const { return width <= 0 || height <= 0; }
  const uint8_t* Pixel(int32_t x, int32_t y) const {
    return rgb.data() +
           (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
  }
};

// Largest side a skin picture may have (48 MB decoded at most); a picture
// claiming more, or one whose pixels cannot be allocated, is refused like a
// damaged one instead of ending the program.
constexpr int32_t kMaxPictureSide = 4096;

class PicturePort {
 public:
  virtual ~PicturePort() = default;
  // Decodes the JPEG file at `path`. On failure returns false and leaves `out`
  // empty (zero size), which callers treat as a picture that is not there.
  virtual bool Load(const Text& path, Picture& out) = 0;
};

}  // namespace nuv
