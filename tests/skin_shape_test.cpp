// The window shape: the mask threshold, the run-based shape against the
// pixel-by-pixel rule, the repaint region, and the shipped mask pictures.
#include "ui/skin_shape.h"

#include <gtest/gtest.h>

#include "platform/display_scale.h"

#include <random>

#include "skin_test_support.h"

namespace nuv::test {
namespace {

Picture Filled(int32_t w, int32_t h, uint8_t r, uint8_t g, uint8_t b) {
  Picture p;
  p.width = w;
  p.height = h;
  p.rgb.resize(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0; i < p.rgb.size(); i += 3) {
    p.rgb[i] = r;
    p.rgb[i + 1] = g;
    p.rgb[i + 2] = b;
  }
  return p;
}

void Set(Picture& p, int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b) {
  uint8_t* px = p.rgb.data() + (static_cast<size_t>(y) * p.width + x) * 3;
  px[0] = r;
  px[1] = g;
  px[2] = b;
}

// Every pixel of the picture is inside the region exactly when the pixel rule says so.
void ExpectSamePixels(const Picture& mask, const PixelRegion& region) {
  const std::vector<uint8_t> reference = WindowShapeByPixels(mask);
  uint64_t covered = 0;
  for (int32_t y = 0; y < mask.height; ++y) {
    for (int32_t x = 0; x < mask.width; ++x) {
      const bool want = reference[static_cast<size_t>(y) * mask.width + x] != 0;
      covered += want;
      ASSERT_EQ(region.Contains(x, y), want) << x << "," << y;
    }
  }
  EXPECT_EQ(region.PixelCount(), covered);
  // The banded rectangles cover the same pixels, each once.
  uint64_t area = 0;
  for (const auto& r : region.Rectangles()) {
    area += static_cast<uint64_t>(r.right - r.left) * static_cast<uint64_t>(r.bottom - r.top);
    for (int32_t y = r.top; y < r.bottom; ++y) {
      for (int32_t x = r.left; x < r.right; ++x) ASSERT_TRUE(region.Contains(x, y));
    }
  }
  EXPECT_EQ(area, covered);
}

TEST(SkinShape, ThresholdCutsOnlyPixelsLighterThan100InAllThreeColours) {
  EXPECT_TRUE(IsTransparentMaskPixel(101, 101, 101));
  EXPECT_FALSE(IsTransparentMaskPixel(100, 255, 255));
  EXPECT_FALSE(IsTransparentMaskPixel(255, 100, 255));
  EXPECT_FALSE(IsTransparentMaskPixel(255, 255, 100));
  EXPECT_TRUE(IsTransparentMaskPixel(255, 255, 255));
  EXPECT_FALSE(IsTransparentMaskPixel(0, 0, 0));

  Picture mask = Filled(4, 2, 0, 0, 0);
  Set(mask, 1, 0, 101, 101, 101);
  Set(mask, 2, 0, 100, 255, 255);
  const PixelRegion shape = WindowShapeFromMask(mask);
  EXPECT_FALSE(shape.Contains(1, 0));
  EXPECT_TRUE(shape.Contains(2, 0));
  EXPECT_EQ(shape.runs(), (std::vector<PixelRun>{{0, 0, 1}, {0, 2, 4}, {1, 0, 4}}));
}

TEST(SkinShape, RunsCoverExactlyThePixelsOfThePixelRule) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    const int32_t w = 1 + static_cast<int32_t>(random() % 40);
    const int32_t h = 1 + static_cast<int32_t>(random() % 30);
    Picture mask = Filled(w, h, 0, 0, 0);
    const int density = static_cast<int>(random() % 100);
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        if (static_cast<int>(random() % 100) < density) {
          // values around the threshold in every channel
          Set(mask, x, y, static_cast<uint8_t>(95 + random() % 12),
              static_cast<uint8_t>(95 + random() % 12), static_cast<uint8_t>(95 + random() % 12));
        }
      }
    }
    ExpectSamePixels(mask, WindowShapeFromMask(mask));
  }
}

TEST(SkinShape, EmptyPictureGivesEmptyShape) {
  EXPECT_TRUE(WindowShapeFromMask(Picture{}).runs().empty());
  EXPECT_TRUE(WindowShapeByPixels(Picture{}).empty());
  EXPECT_TRUE(WindowShapeFromMask(Filled(3, 3, 255, 255, 255)).runs().empty());
}

TEST(SkinShape, RepaintRegionLeavesOutTheThreeControls) {
  const PixelRegion shape = WindowShapeFromMask(Filled(50, 40, 0, 0, 0));
  MacroControlRects controls;
  controls.macroNameEdit = {0, 0, 10, 5};
  controls.macroEventList = {20, 10, 10, 20};
  controls.macroNameList = {25, 15, 10, 10};  // overlaps the event list
  controls.repeatCountEdit = {40, 30, 5, 5};  // stays painted over
  const PixelRegion repaint = RepaintRegionFrom(shape, controls);
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 50; ++x) {
      const bool inControl = SkinRect{0, 0, 10, 5}.Contains(x, y) ||
                             SkinRect{20, 10, 10, 20}.Contains(x, y) ||
                             SkinRect{25, 15, 10, 10}.Contains(x, y);
      ASSERT_EQ(repaint.Contains(x, y), !inControl) << x << "," << y;
    }
  }
  EXPECT_TRUE(repaint.Contains(42, 32));
}

TEST(SkinShape, ShippedMasksHaveHardEdges) {
  auto pictures = PicturesUnderTest();
  for (const char* name : {"main_mask.jpg", "warning_mask.jpg"}) {
    SCOPED_TRACE(name);
    Picture mask;
    ASSERT_TRUE(pictures->Load(ShippedSkinFolder() + u"\\" + Widen(name), mask));
    const PixelRegion shape = WindowShapeFromMask(mask);
    ExpectSamePixels(mask, shape);
    // The outline is convex: one run per row and no stray pixel left or cut.
    int32_t row = 0;
    for (const auto& run : shape.runs()) {
      ASSERT_EQ(run.y, row++) << "a row with more than one run";
    }
    EXPECT_EQ(row, mask.height);
    EXPECT_FALSE(shape.Contains(0, 0)) << "the top-left corner is cut";
    EXPECT_FALSE(shape.Contains(mask.width - 1, mask.height - 1));
    EXPECT_TRUE(shape.Contains(mask.width / 2, mask.height / 2));
    EXPECT_TRUE(shape.Contains(mask.width - 1, 0));
  }
}

// Skin units and a window's pixels: every pixel belongs to exactly the unit
// whose rectangle covers it, at every scale, so hit tests in skin units agree
// with what is drawn.
TEST(DisplayScale, PixelsAndUnitsAgreeAtEveryScale) {
  for (int32_t dpi : {96, 120, 144, 168, 192, 240, 288}) {
    const DisplayScale scale(dpi);
    for (int32_t u = -40; u < 760; ++u) {
      ASSERT_LT(scale.ToPixels(u), scale.ToPixels(u + 1)) << dpi << " " << u;
      for (int32_t p = scale.ToPixels(u); p < scale.ToPixels(u + 1); ++p) {
        ASSERT_EQ(scale.ToUnits(p), u) << dpi << " " << p;
      }
    }
  }
  EXPECT_EQ(DisplayScale(144).ToPixels(720), 1080);
  EXPECT_EQ(DisplayScale(192).ToPixels(480), 960);
  EXPECT_EQ(DisplayScale(144).ToPixels(3), 5);  // 4.5 rounds up
  EXPECT_EQ(DisplayScale(0).dpi(), 96);
  EXPECT_EQ(DisplayScale(1 << 30).ToPixels(1 << 30), INT32_MAX);
  // The drawn picture scale: the smallest at or above the window's.
  const std::pair<int32_t, int32_t> choices[] = {{96, 10},  {120, 15}, {144, 15}, {168, 20},
                                                 {192, 20}, {240, 30}, {288, 30}, {384, 30}};
  for (const auto& [dpi, tenths] : choices) {
    EXPECT_EQ(PictureScaleTenthsFor(DisplayScale(dpi)), tenths) << dpi;
  }
}

// One row of red values resampled: a flat row stays flat, a halved row is its
// pairs' averages with no neighbour bleeding in, a doubled row ramps between
// its pixels and keeps its ends; nothing comes from nothing.
TEST(DisplayScale, ResamplingAveragesWhatItReducesAndBlendsWhatItEnlarges) {
  const auto row = [](const std::vector<uint8_t>& reds) {
    Picture p = Filled(static_cast<int32_t>(reds.size()), 1, 0, 0, 0);
    for (size_t x = 0; x < reds.size(); ++x) p.rgb[x * 3] = reds[x];
    return p;
  };
  struct Case {
    std::vector<uint8_t> in;
    int32_t width;
    std::vector<uint8_t> out;
  };
  for (const Case& c :
       {Case{{90, 90, 90}, 7, {90, 90, 90, 90, 90, 90, 90}}, Case{{0, 0, 200, 200}, 2, {0, 200}},
        Case{{0, 200}, 4, {0, 50, 150, 200}}, Case{{0, 200}, 0, {}}, Case{{}, 4, {}}}) {
    const Picture out = ResamplePicture(row(c.in), c.width, 1);
    std::vector<uint8_t> reds;
    for (size_t x = 0; x < out.rgb.size(); x += 3) reds.push_back(out.rgb[x]);
    EXPECT_EQ(reds, c.out) << c.in.size() << " to " << c.width;
  }
  Picture damaged = Filled(4, 4, 1, 2, 3);
  damaged.rgb.resize(5);
  EXPECT_TRUE(ResamplePicture(damaged, 2, 2).empty());
}

}  // namespace
}  // namespace nuv::test
