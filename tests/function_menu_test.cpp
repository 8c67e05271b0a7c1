#include <gtest/gtest.h>

#include <optional>

#include "platform/host/host_canvas.h"
#include "settings/function_menu.h"
#include "ui/warning_dialog.h"

namespace nuv {
namespace {

TEST(FunctionMenu, RowHitTestsIncludingTheStripBelowTheLastRow) {
  // The shipped masks: 206 by 281 (rows of 28) and 206 by 337 (rows of 28).
  const MenuGeometry first = FirstLevelGeometry(206, 281);
  EXPECT_EQ(first.rowHeight, 28);
  EXPECT_EQ(first.regionHeight, 281);
  const MenuGeometry media = SecondLevelGeometry(206, 337, GroupRowCount(kGroupRowSystem, 0));
  EXPECT_EQ(media.regionHeight, 6 * 28 + 1);
  EXPECT_EQ(SecondLevelGeometry(206, 337, 0).regionHeight, 0);  // no macros: nothing shows
  EXPECT_EQ(FirstLevelGeometry(0, 0).regionHeight, 0);          // no mask: nothing shows
  struct Case {
    int32_t x, y;
    int row;
  };
  const Case cases[] = {{0, 0, 1},      {205, 27, 1},      {100, 28, 2},     {100, 279, 10},
                        {100, 280, 11}, {206, 10, kNoRow}, {-1, 10, kNoRow}, {10, -1, kNoRow},
                        {10, 335, 12},  {10, 336, kNoRow}};
  for (const Case& c : cases) EXPECT_EQ(MenuRowAt(first, c.x, c.y), c.row) << c.x << "," << c.y;
  // The strip below the last row stores nothing, on either level.
  EXPECT_EQ(FirstLevelChoice(MenuRowAt(first, 100, 280)), std::nullopt);
  EXPECT_FALSE(IsGroupRow(MenuRowAt(first, 100, 280)));
  EXPECT_EQ(GroupRowCode(kGroupRowSystem, MenuRowAt(media, 100, 168), 0), std::nullopt);
}

TEST(FunctionMenu, CodesOfEveryGroupAndTheFirstLevel) {
  struct Case {
    int group, row, macros;
    std::optional<int32_t> code;
  };
  const Case cases[] = {
      {kGroupRowShortcuts, 1, 0, 11},
      {kGroupRowShortcuts, 9, 0, 19},
      {kGroupRowShortcuts, 10, 0, std::nullopt},
      {kGroupRowSystem, 5, 0, 25},
      {kGroupRowSystem, 6, 0, 26},
      {kGroupRowSystem, 7, 0, std::nullopt},
      {kGroupRowActions, 1, 0, 31},
      {kGroupRowActions, 10, 0, 40},
      {kGroupRowMacros, 2, 12, 42},
      {kGroupRowMacros, 12, 12, 52},
      {kGroupRowMacros, 2, 1, std::nullopt},
      {kGroupRowMacros, 1, 99, 41},
      {6, 1, 0, std::nullopt},
      {kGroupRowSystem, kNoRow, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GroupRowCode(c.group, c.row, c.macros), c.code) << c.group << " " << c.row;
  }
  for (int row = 1; row <= kRowsTried; ++row) {
    EXPECT_EQ(FirstLevelChoice(row), row <= 6 ? std::optional<int32_t>(row) : std::nullopt);
    EXPECT_EQ(IsGroupRow(row), row >= 7 && row <= 10) << row;
  }
}

TEST(FunctionMenu, SecondLevelPlacementPerGroup) {
  struct Case {
    int group, macros;
    int32_t top;
  };
  const Case cases[] = {
      {kGroupRowShortcuts, 0, 100 - 28},
      {kGroupRowSystem, 0, 100 + 2 * 28},
      {kGroupRowActions, 0, 100},
      // The macro group's last row lines up with row 9.
      {kGroupRowMacros, 12, 100 - 3 * 28},
      {kGroupRowMacros, 9, 100},
      {kGroupRowMacros, 1, 100 + 8 * 28},
      {kGroupRowMacros, 0, 100 + 9 * 28},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SecondLevelTop(100, 28, c.group, c.macros), c.top) << c.group << " " << c.macros;
  }
}

TEST(FunctionMenu, WarningOnlyWhenNoOtherButtonKeepsThePrimaryClick) {
  MouseProfile p;
  ResetToFactory(p);  // button 1 is the only primary click
  EXPECT_TRUE(NeedsPrimaryClickWarning(p, 1));
  EXPECT_FALSE(NeedsPrimaryClickWarning(p, 2));
  p.buttons[4] = kFnPrimaryClick;
  EXPECT_FALSE(NeedsPrimaryClickWarning(p, 1));
  for (auto& b : p.buttons) b = 3;
  for (int button = 1; button <= kButtonCount; ++button) {
    EXPECT_TRUE(NeedsPrimaryClickWarning(p, button)) << button;
  }
}

TEST(FunctionMenu, LevelFaceHoverStripAndCentredTexts) {
  HostCanvas canvas;
  const MenuGeometry g = FirstLevelGeometry(206, 281);
  PaintMenuLevel(
      canvas, kFirstLevelPictures, g, kFirstLevelRows, [](int row) { return Text(row, u'x'); }, 3,
      true, 0);
  EXPECT_EQ(canvas.background(), SkinPicture::kMenuNormal);
  EXPECT_EQ(canvas.copies(),
            (std::vector<HostCanvas::Copy>{{SkinPicture::kMenuDown, 0, 56, 0, 56, 206, 28}}));
  ASSERT_EQ(canvas.texts().size(), 10u);
  const auto& third = canvas.texts()[2];  // 3 characters of 6 by 12 in the second font
  EXPECT_EQ(third.x, (206 - 18) / 2);
  EXPECT_EQ(third.y, 56 + (28 - 12) / 2);
  EXPECT_EQ(third.colour, kRedText);
  EXPECT_EQ(third.font, TextFont::kSecondLanguage);
  EXPECT_EQ(canvas.texts()[0].colour, kWhiteText);
}

TEST(FunctionMenu, KeysOfBothLevelsAndTheWarning) {
  using enum MenuKey;
  using A = MenuKeyAction;
  struct Case {
    bool second;
    int row;
    int rows;
    MenuKey key;
    MenuKeyResult result;
  };
  const Case cases[] = {
      {false, kNoRow, 10, kDown, {A::kMove, 1}},
      {false, kNoRow, 10, kUp, {A::kMove, 10}},
      {false, 10, 10, kDown, {A::kMove, 1}},
      {false, 3, 10, kChoose, {A::kChoose, 3}},
      {false, 7, 10, kRight, {A::kOpenLevel, 7}},
      {false, 9, 10, kChoose, {A::kOpenLevel, 9}},
      {false, 3, 10, kRight, {}},
      {false, kNoRow, 10, kChoose, {}},
      {false, 4, 10, kEscape, {A::kClose, kNoRow}},
      {true, 1, 6, kUp, {A::kMove, 6}},
      {true, 6, 6, kDown, {A::kMove, 1}},
      {true, 2, 6, kChoose, {A::kChoose, 2}},
      {true, kNoRow, 6, kChoose, {}},
      {true, 2, 6, kLeft, {A::kBack, kNoRow}},
      {true, kNoRow, 0, kDown, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.second ? SecondLevelKey(c.row, c.rows, c.key) : FirstLevelKey(c.row, c.key),
              c.result)
        << c.second << " row " << c.row << " key " << static_cast<int>(c.key);
  }
  EXPECT_EQ(WarningHoverAfterKey(kWarningNoHover, true), kWarningContinue);
  EXPECT_EQ(WarningHoverAfterKey(kWarningNoHover, false), kWarningCancel);
  EXPECT_EQ(WarningHoverAfterKey(kWarningContinue, true), kWarningCancel);
}

TEST(WarningDialog, HoverReleaseAndFace) {
  WarningSkinTable table;
  table.rects = {SkinRect{64, 112, 140, 36}, SkinRect{236, 112, 140, 36},
                 SkinRect{20, 58, 400, 30}};
  table.captions = {u"Continue", u"Cancel", u""};
  EXPECT_EQ(WarningHoverAt(table, 64, 112), kWarningContinue);
  EXPECT_EQ(WarningHoverAt(table, 204, 120), kWarningNoHover);  // right edge outside
  EXPECT_EQ(WarningHoverAt(table, 375, 147), kWarningCancel);
  EXPECT_EQ(WarningHoverAt(table, 100, 70), kWarningNoHover);  // the message
  EXPECT_EQ(WarningResultOfRelease(kWarningNoHover), std::nullopt);
  EXPECT_EQ(WarningResultOfRelease(kWarningCancel), kWarningCancel);
  HostCanvas canvas;
  PaintWarning(canvas, table, kWarningCancel, 1);
  EXPECT_EQ(
      canvas.copies(),
      (std::vector<HostCanvas::Copy>{{SkinPicture::kWarningOver, 236, 112, 236, 112, 140, 36}}));
  ASSERT_EQ(canvas.texts().size(), 2u);  // an empty caption draws nothing
  EXPECT_EQ(canvas.texts()[1].x, 236 + (140 - 6 * 7) / 2);
  EXPECT_EQ(canvas.texts()[1].colour, kRedText);
}

}  // namespace
}  // namespace nuv
