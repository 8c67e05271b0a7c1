// What an owner-drawn menu item looks like: the plan's operations, and the
// pixels they give when carried out on a small software surface.
#include <gtest/gtest.h>

#include <vector>

#include "ui/nuv_menu.h"

namespace nuv::test {
namespace {

constexpr MenuRgb kUntouched{1, 2, 3};

// Carries out fills and frames pixel by pixel; texts are only collected.
struct Surface {
  int32_t width, height;
  std::vector<MenuRgb> pixels;
  std::vector<MenuDrawOp> texts;

  Surface(int32_t w, int32_t h)
      : width(w), height(h), pixels(static_cast<size_t>(w * h), kUntouched) {}
  MenuRgb At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y * width + x)]; }
  void Set(int32_t x, int32_t y, MenuRgb c) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<size_t>(y * width + x)] = c;
  }
  void Run(const std::vector<MenuDrawOp>& plan) {
    for (const MenuDrawOp& op : plan) {
      const MenuRect& r = op.rect;
      for (int32_t y = r.top; y < r.bottom; ++y) {
        for (int32_t x = r.left; x < r.right; ++x) {
          const bool edge = x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1;
          if (op.kind == MenuDrawOp::Kind::Fill || (op.kind == MenuDrawOp::Kind::Frame && edge))
            Set(x, y, op.colour);
        }
      }
      if (op.kind == MenuDrawOp::Kind::Text) texts.push_back(op);
    }
  }
};

const MenuItemRecord kModifyDelay{u"Modify Delay", 32780};

TEST(MenuDraw, SelectedItemOfTwentyRowsRisesInGreenByFourteen) {
  Surface s(120, 20);
  s.Run(PlanMenuItem(kModifyDelay, {0, 0, 120, 20}, true));
  // The frame around, then 18 inner rows from blue towards cyan.
  for (int32_t x = 0; x < 120; ++x) {
    EXPECT_EQ(s.At(x, 0), kMenuSelectedFrame);
    EXPECT_EQ(s.At(x, 19), kMenuSelectedFrame);
  }
  for (int32_t row = 0; row < 18; ++row) {
    const MenuRgb expected{0, static_cast<uint8_t>(14 * row), 255};
    EXPECT_EQ(s.At(0, row + 1), kMenuSelectedFrame);
    EXPECT_EQ(s.At(1, row + 1), expected) << row;
    EXPECT_EQ(s.At(118, row + 1), expected) << row;
    EXPECT_EQ(s.At(119, row + 1), kMenuSelectedFrame);
  }
  // The truncated step stops short of cyan.
  EXPECT_EQ(s.At(50, 18).green, 238);
  ASSERT_EQ(s.texts.size(), 1u);
  EXPECT_EQ(s.texts[0].text, u"Modify Delay");
  EXPECT_EQ(s.texts[0].rect, (MenuRect{10, 0, 120, 20}));
  EXPECT_EQ(s.texts[0].colour, kMenuTextColour);
}

TEST(MenuDraw, GradientRowsTruncateTheStepAndWrapModulo256) {
  const struct {
    MenuRgb top, bottom;
    int32_t rows, row;
    MenuRgb expected;
  } cases[] = {
      {kMenuGradientTop, kMenuGradientBottom, 18, 0, {0, 0, 255}},
      {kMenuGradientTop, kMenuGradientBottom, 18, 17, {0, 238, 255}},
      {kMenuGradientTop, kMenuGradientBottom, 1, 0, {0, 0, 255}},
      {kMenuGradientTop, kMenuGradientBottom, 255, 254, {0, 254, 255}},
      {kMenuGradientTop, kMenuGradientBottom, 300, 299, {0, 0, 255}},  // step truncates to 0
      // Falling components: step -14 from 255; rows beyond the height wrap.
      {{255, 255, 255}, {0, 0, 0}, 18, 17, {17, 17, 17}},
      {{255, 0, 0}, {0, 0, 0}, 18, 19, {static_cast<uint8_t>((255 - 14 * 19) & 0xFF), 0, 0}},
      {kMenuGradientTop, kMenuGradientBottom, 0, 3, kMenuGradientTop},
      {kMenuGradientTop, kMenuGradientBottom, -2, 0, kMenuGradientTop},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GradientRow(c.top, c.bottom, c.rows, c.row), c.expected) << c.rows << " " << c.row;
  }
}

TEST(MenuDraw, PlainItemIsFilledAndItsTextStartsTenIn) {
  Surface s(100, 40);
  s.Run(PlanMenuItem({u"Exit Driver", 32800}, {0, 20, 100, 40}, false));
  for (int32_t y = 0; y < 40; ++y) {
    EXPECT_EQ(s.At(0, y), y < 20 ? kUntouched : kMenuFillColour) << y;
    EXPECT_EQ(s.At(99, y), y < 20 ? kUntouched : kMenuFillColour) << y;
  }
  ASSERT_EQ(s.texts.size(), 1u);
  EXPECT_EQ(s.texts[0].rect, (MenuRect{10, 20, 100, 40}));
  EXPECT_EQ(s.texts[0].text, u"Exit Driver");
}

TEST(MenuDraw, SeparatorIsARedAndBlueLineFromTwentyFiveIn) {
  Surface s(60, 3);
  s.Run(PlanMenuItem({u"", kMenuKindSeparator}, {0, 1, 60, 2}, false));
  EXPECT_TRUE(s.texts.empty());
  for (int32_t x = 0; x < 60; ++x) {
    EXPECT_EQ(s.At(x, 0), kUntouched);
    EXPECT_EQ(s.At(x, 2), kUntouched);
    const MenuRgb expected = x < 25    ? kUntouched
                             : x == 59 ? kMenuSeparatorDark
                                       : kMenuSeparatorLight;
    EXPECT_EQ(s.At(x, 1), expected) << x;
  }
  // Selection changes nothing for a separator.
  EXPECT_EQ(PlanMenuItem({u"", 0}, {0, 1, 60, 2}, true),
            PlanMenuItem({u"", 0}, {0, 1, 60, 2}, false));
}

TEST(MenuDraw, TallSeparatorIsARaisedFrame) {
  Surface s(40, 6);
  s.Run(PlanMenuItem({u"", kMenuKindSeparator}, {0, 0, 40, 6}, false));
  EXPECT_EQ(s.At(24, 0), kUntouched);
  EXPECT_EQ(s.At(25, 0), kMenuSeparatorLight);
  EXPECT_EQ(s.At(25, 4), kMenuSeparatorLight);
  EXPECT_EQ(s.At(38, 0), kMenuSeparatorLight);
  EXPECT_EQ(s.At(39, 0), kMenuSeparatorDark);
  EXPECT_EQ(s.At(25, 5), kMenuSeparatorDark);
  EXPECT_EQ(s.At(39, 5), kMenuSeparatorDark);
  EXPECT_EQ(s.At(30, 3), kUntouched);  // a frame, not a fill
}

TEST(MenuDraw, DegenerateRectanglesDrawNothingOutside) {
  // Too small for an inner area, or narrower than the separator's indent: no
  // rows, no empty or inverted rectangles, and nothing outside the item.
  const struct {
    MenuItemRecord record;
    MenuRect rect;
    bool selected;
  } cases[] = {
      {kModifyDelay, {0, 0, 30, 2}, true},  {kModifyDelay, {0, 0, 30, 1}, true},
      {kModifyDelay, {0, 0, 2, 20}, true},  {kModifyDelay, {5, 5, 5, 5}, false},
      {{u"", 0}, {0, 0, 20, 1}, false},     {{u"", 0}, {0, 0, 25, 4}, false},
      {kModifyDelay, {0, 0, 30, -4}, true},
  };
  for (const auto& c : cases) {
    for (const MenuDrawOp& op : PlanMenuItem(c.record, c.rect, c.selected)) {
      if (op.kind == MenuDrawOp::Kind::Text) continue;
      EXPECT_GT(op.rect.width(), 0);
      EXPECT_GT(op.rect.height(), 0);
      EXPECT_GE(op.rect.left, c.rect.left);
      EXPECT_GE(op.rect.top, c.rect.top);
      EXPECT_LE(op.rect.right, c.rect.right);
      EXPECT_LE(op.rect.bottom, c.rect.bottom);
    }
  }
  Surface s(30, 2);
  s.Run(PlanMenuItem(kModifyDelay, {0, 0, 30, 2}, true));
  EXPECT_EQ(s.At(10, 0), kMenuSelectedFrame);
  EXPECT_EQ(s.At(10, 1), kMenuSelectedFrame);
}

}  // namespace
}  // namespace nuv::test
