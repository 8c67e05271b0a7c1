// Mask pictures from arbitrary bytes: decoding never crashes, and a decoded
// picture's run-based shape covers exactly the pixels of the pixel rule.
#include <cstdint>
#include <cstdlib>

#include "platform/host/host_picture.h"
#include "ui/skin_shape.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nuv;
  Picture picture;
  if (!HostJpegPictures::Decode(data, size, picture)) {
    Check(picture.empty());
    return 0;
  }
  Check(picture.rgb.size() ==
        static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 3);
  if (static_cast<int64_t>(picture.width) * picture.height > 200000) return 0;
  const PixelRegion shape = WindowShapeFromMask(picture);
  const std::vector<uint8_t> reference = WindowShapeByPixels(picture);
  uint64_t covered = 0;
  for (int32_t y = 0; y < picture.height; ++y) {
    for (int32_t x = 0; x < picture.width; ++x) {
      const bool want =
          reference[static_cast<size_t>(y) * static_cast<size_t>(picture.width) + x] != 0;
      covered += want;
      Check(shape.Contains(x, y) == want);
    }
  }
  Check(shape.PixelCount() == covered);
  uint64_t area = 0;
  for (const auto& r : shape.Rectangles()) {
    area += static_cast<uint64_t>(r.right - r.left) * static_cast<uint64_t>(r.bottom - r.top);
  }
  Check(area == covered);
  return 0;
}
