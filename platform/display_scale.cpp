#include "platform/display_scale.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace nuv {

namespace {
constexpr int32_t kMaxDpi = 960;

// Floor division for a positive divisor.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
}  // namespace

DisplayScale::DisplayScale(int32_t dpi) : dpi_(std::clamp(dpi, kBaseDpi, kMaxDpi)) {}

int32_t DisplayScale::ToPixels(int32_t units) const {
  // floor(units × dpi / 96 + 1/2), in 64 bits: skin values are unchecked.
  const int64_t pixels = FloorDiv(int64_t{units} * dpi_ * 2 + kBaseDpi, 2 * kBaseDpi);
  return static_cast<int32_t>(std::clamp<int64_t>(pixels, INT32_MIN, INT32_MAX));
}

int32_t DisplayScale::ToUnits(int32_t pixels) const {
  // The largest u with ToPixels(u) <= p: 2·u·dpi + 96 < 192·(p + 1).
  const int64_t limit = 2 * int64_t{kBaseDpi} * (int64_t{pixels} + 1) - kBaseDpi;
  return static_cast<int32_t>(FloorDiv(limit - 1, 2 * int64_t{dpi_}));
}

int32_t PictureScaleTenthsFor(const DisplayScale& scale) {
  for (int32_t tenths : kPictureScaleTenths) {
    if (int64_t{tenths} * kBaseDpi >= int64_t{scale.dpi()} * 10) return tenths;
  }
  return kPictureScaleTenths[std::size(kPictureScaleTenths) - 1];
}

namespace {

// The weights of one output position along one axis: its first source index
// and the weight of each source pixel from there, summing to 1.
struct Taps {
  int32_t first = 0;
  std::vector<float> weights;
};

std::vector<Taps> AxisTaps(int32_t sourceSize, int32_t targetSize) {
  const double ratio = static_cast<double>(sourceSize) / targetSize;
  std::vector<Taps> taps(static_cast<size_t>(targetSize));
  for (int32_t i = 0; i < targetSize; ++i) {
    Taps& t = taps[static_cast<size_t>(i)];
    double sum = 0;
    if (ratio >= 1) {
      // Reduced: each source pixel by the share of it that the output pixel
      // covers (an area average, which keeps edges on whole pixels crisp).
      const double begin = i * ratio;
      const double end = (i + 1) * ratio;
      t.first = static_cast<int32_t>(std::floor(begin));
      for (int32_t s = t.first; s < sourceSize && s < end; ++s) {
        const double w = std::min<double>(s + 1, end) - std::max<double>(s, begin);
        t.weights.push_back(static_cast<float>(w));
        sum += w;
      }
    } else {
      // Enlarged: bilinear between the two nearest source pixels.
      const double centre = (i + 0.5) * ratio - 0.5;
      const auto left = static_cast<int32_t>(std::floor(centre));
      const double f = centre - left;
      t.first = std::clamp(left, 0, sourceSize - 1);
      const int32_t right = std::clamp(left + 1, 0, sourceSize - 1);
      t.weights.push_back(static_cast<float>(1 - f));
      sum = 1;
      if (right != t.first) {
        t.weights.push_back(static_cast<float>(f));
      } else {
        t.weights[0] = 1;
      }
    }
    for (float& w : t.weights) w = static_cast<float>(w / sum);
  }
  return taps;
}

}  // namespace

Picture LoadPictureAtScale(PicturePort& decoder, const Text& path, const DisplayScale& scale) {
  Picture decoded;
  if (scale.IsBase()) {
    decoder.Load(path, decoded);
    return decoded;
  }
  const int32_t tenths = PictureScaleTenthsFor(scale);
  int32_t drawnTenths = 10;
  if (tenths != 10 && path.size() > 4) {
    const Text suffix = tenths % 10 == 0 ? FormatInt(tenths / 10) : u"1.5";
    if (decoder.Load(path.substr(0, path.size() - 4) + u"@" + suffix + u"x.jpg", decoded)) {
      drawnTenths = tenths;
    }
  }
  if (drawnTenths == 10 && !decoder.Load(path, decoded)) return Picture{};
  // Its size in skin units, then in this scale's pixels.
  const auto pixels = [&](int32_t drawn) {
    return scale.ToPixels(
        static_cast<int32_t>((int64_t{drawn} * 10 + drawnTenths / 2) / drawnTenths));
  };
  const int32_t width = pixels(decoded.width);
  const int32_t height = pixels(decoded.height);
  if (width == decoded.width && height == decoded.height) return decoded;
  if (width > kMaxPictureSide || height > kMaxPictureSide) return Picture{};
  return ResamplePicture(decoded, width, height);
}

Picture ResamplePicture(const Picture& from, int32_t width, int32_t height) {
  Picture out;
  if (from.empty() || width <= 0 || height <= 0 ||
      from.rgb.size() < static_cast<size_t>(from.width) * from.height * 3) {
    return out;
  }
  const std::vector<Taps> columns = AxisTaps(from.width, width);
  const std::vector<Taps> rows = AxisTaps(from.height, height);
  // Rows first: each source row reduced or enlarged to the new width.
  std::vector<float> wide(static_cast<size_t>(width) * from.height * 3);
  for (int32_t y = 0; y < from.height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const Taps& t = columns[static_cast<size_t>(x)];
      float sum[3] = {0, 0, 0};
      for (size_t k = 0; k < t.weights.size(); ++k) {
        const uint8_t* p = from.Pixel(t.first + static_cast<int32_t>(k), y);
        for (int c = 0; c < 3; ++c) sum[c] += t.weights[k] * p[c];
      }
      float* target = &wide[(static_cast<size_t>(y) * width + x) * 3];
      for (int c = 0; c < 3; ++c) target[c] = sum[c];
    }
  }
  out.width = width;
  out.height = height;
  out.rgb.resize(static_cast<size_t>(width) * height * 3);
  for (int32_t y = 0; y < height; ++y) {
    const Taps& t = rows[static_cast<size_t>(y)];
    for (int32_t x = 0; x < width; ++x) {
      float sum[3] = {0, 0, 0};
      for (size_t k = 0; k < t.weights.size(); ++k) {
        const float* p =
            &wide[((static_cast<size_t>(t.first) + k) * static_cast<size_t>(width) + x) * 3];
        for (int c = 0; c < 3; ++c) sum[c] += t.weights[k] * p[c];
      }
      uint8_t* target = &out.rgb[(static_cast<size_t>(y) * width + x) * 3];
      for (int c = 0; c < 3; ++c) {
        target[c] = static_cast<uint8_t>(std::clamp(std::lround(sum[c]), 0L, 255L));
      }
    }
  }
  return out;
}

}  // namespace nuv
