// System regions built from pixel runs against the literal pixel-by-pixel rule,
// and GDI+ decoding of the shipped masks.
#include <gtest/gtest.h>

#include <random>

#include "platform/win32/win32_picture.h"
#include "skin_test_support.h"
#include "winapp/skin_region.h"

namespace nuv::test {
namespace {

void ExpectEqualRegions(const Picture& mask) {
  HRGN fromRuns = win32::CreateRegionFrom(WindowShapeFromMask(mask));
  HRGN byPixels = win32::CreateRegionPixelByPixel(mask);
  ASSERT_NE(fromRuns, nullptr);
  ASSERT_NE(byPixels, nullptr);
  EXPECT_TRUE(EqualRgn(fromRuns, byPixels));
  for (int32_t y = 0; y < mask.height; ++y) {
    for (int32_t x = 0; x < mask.width; ++x) {
      ASSERT_EQ(PtInRegion(fromRuns, x, y) != 0, PtInRegion(byPixels, x, y) != 0) << x << "," << y;
    }
  }
  DeleteObject(fromRuns);
  DeleteObject(byPixels);
}

TEST(Win32SkinRegion, RunsGiveTheRegionOfThePixelRule) {
  std::mt19937 random(11);
  for (int round = 0; round < 6; ++round) {
    Picture mask;
    mask.width = 1 + static_cast<int32_t>(random() % 48);
    mask.height = 1 + static_cast<int32_t>(random() % 32);
    mask.rgb.resize(static_cast<size_t>(mask.width) * mask.height * 3);
    for (auto& c : mask.rgb)
      c = static_cast<uint8_t>(random() % 2 ? 101 + random() % 20 : 80 + random() % 21);
    ExpectEqualRegions(mask);
  }
}

TEST(Win32SkinRegion, ShippedWarningMaskThroughGdiplus) {
  win32::GdiplusPictures pictures;
  Picture mask;
  ASSERT_TRUE(pictures.Load(ShippedSkinFolder() + u"\\warning_mask.jpg", mask));
  ExpectEqualRegions(mask);
}

TEST(Win32SkinRegion, LargeShapeIsBuiltInChunks) {
  // A comb of single pixels: far more rectangles than one region call takes.
  Picture mask;
  mask.width = 200;
  mask.height = 60;
  mask.rgb.assign(static_cast<size_t>(mask.width) * mask.height * 3, 0);
  for (int32_t y = 0; y < mask.height; ++y) {
    for (int32_t x = (y % 2); x < mask.width; x += 2) {
      std::fill_n(mask.rgb.begin() + (static_cast<size_t>(y) * mask.width + x) * 3, 3, 255);
    }
  }
  const PixelRegion shape = WindowShapeFromMask(mask);
  ASSERT_GT(shape.Rectangles().size(), 2000u);
  HRGN region = win32::CreateRegionFrom(shape);
  for (int32_t y = 0; y < mask.height; ++y) {
    for (int32_t x = 0; x < mask.width; ++x) {
      ASSERT_EQ(PtInRegion(region, x, y) != 0, shape.Contains(x, y)) << x << "," << y;
    }
  }
  DeleteObject(region);
}

TEST(Win32SkinPictures, MissingFileIsAnEmptyPicture) {
  win32::GdiplusPictures pictures;
  Picture picture;
  picture.width = 5;
  EXPECT_FALSE(pictures.Load(ShippedSkinFolder() + u"\\no such picture.jpg", picture));
  EXPECT_TRUE(picture.empty());
  EXPECT_TRUE(win32::FileExists(ShippedSkinFolder() + u"\\main_mask.jpg"));
  EXPECT_FALSE(win32::FileExists(ShippedSkinFolder()));
}

}  // namespace
}  // namespace nuv::test
