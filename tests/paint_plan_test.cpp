// The paint plan of the three pages against the recording canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <tuple>

#include "paint_test_support.h"
#include "skin_test_support.h"
#include "ui/page_paint.h"

namespace nuv {
namespace {

using test::KeysFrom;
using Keys = std::vector<uint32_t>;

class PaintPlan : public ::testing::Test {
 protected:
  PaintPlan() : skin(test::DistinctKeySkin()) {
    for (size_t l = 0; l < kDpiLevelCount; ++l) {
      profile.dpiKnobKey[l] = DpiKnobKey(static_cast<int>(l), 0);
      profile.dpiEnabled[l] = 1;
    }
    for (size_t b = 0; b < kButtonCount; ++b) profile.buttons[b] = static_cast<int32_t>(b + 1);
  }

  PaintInputs Inputs() {
    return {.ui = ui,
            .skin = *skin,
            .language = language,
            .configNumber = configNumber,
            .profile = profile,
            .macros = macros,
            .recording = recording,
            .counters = counters,
            .attention = attention};
  }
  const HostCanvas& Paint(uint8_t page) {
    ui.page = page;
    PaintPage(Inputs(), canvas);
    return canvas;
  }
  Keys Main(SkinPicture p) const { return KeysFrom(canvas, skin->main, p); }
  Keys Advanced(SkinPicture p) const { return KeysFrom(canvas, skin->advanced, p); }
  Keys Colour(SkinPicture p) const { return KeysFrom(canvas, skin->colour, p); }
  static bool Has(const Keys& keys, uint32_t key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
  }

  std::unique_ptr<PageSkin> skin;
  UiState ui;
  int32_t language = 1;
  int32_t configNumber = 1;
  MouseProfile profile;
  MacroStore macros;
  bool recording = false;
  EventCounters counters;
  AttentionState attention;
  HostCanvas canvas;
};

struct PageCase {
  uint8_t page;
  SkinPicture normal, over, down;
};
constexpr PageCase kPages[] = {
    {kMainPage, SkinPicture::kMainNormal, SkinPicture::kMainOver, SkinPicture::kMainDown},
    {kAdvancedPage, SkinPicture::kAdvancedNormal, SkinPicture::kAdvancedOver,
     SkinPicture::kAdvancedDown},
    {kColourPage, SkinPicture::kColourNormal, SkinPicture::kColourOver, SkinPicture::kColourDown},
};

TEST_F(PaintPlan, NothingHoveredMakesNoHoverCopyAndKeepsNormalColours) {
  for (const PageCase& c : kPages) {
    SCOPED_TRACE(c.page);
    Paint(c.page);
    EXPECT_EQ(canvas.background(), c.normal);
    EXPECT_TRUE(canvas.CopiesFrom(c.over).empty() || c.page == kColourPage);
    for (const auto& t : canvas.texts()) {
      if (t.text == u"M1") {
        EXPECT_EQ(t.colour, kYellowText);
      } else if (t.text.starts_with(u"M5") && t.text.size() == 3) {
        EXPECT_EQ(t.colour, kRedText) << "enabled DPI level caption";
      } else {
        EXPECT_EQ(t.colour, kWhiteText) << Narrow(t.text);
      }
    }
  }
}

TEST_F(PaintPlan, StripShowsExactlyOnePressedTabAndLanguageButton) {
  const uint32_t hovers[] = {kNoSkinHit, 4, 12, 17, 18, 3};
  for (const PageCase& c : kPages) {
    for (int32_t lang : {0, 1, 2}) {
      for (int32_t config : {1, 3, 5, 0, 6, 7, 8, 14, 15}) {
        for (uint32_t hover : hovers) {
          for (uint8_t held : {0, 1}) {
            language = lang;
            configNumber = config;
            ui.mainHover = hover;
            ui.held = held;
            Paint(c.page);
            Keys pressed = Main(c.down);
            // On the main page its own hover step draws the hovered key once
            // more before the strip; count keys, not copies.
            std::sort(pressed.begin(), pressed.end());
            pressed.erase(std::unique(pressed.begin(), pressed.end()), pressed.end());
            const auto count = [&](uint32_t lo, uint32_t hi) {
              return std::count_if(pressed.begin(), pressed.end(),
                                   [&](uint32_t k) { return k >= lo && k <= hi; });
            };
            SCOPED_TRACE(testing::Message() << "page " << int{c.page} << " lang " << lang
                                            << " config " << config << " hover " << hover);
            EXPECT_EQ(count(9, 11), 1);
            EXPECT_TRUE(Has(pressed, 9u + c.page));
            const uint32_t languageKey = lang != 0 ? 18 : 17;
            const bool pressingLanguage = held && (hover == 17 || hover == 18);
            if (!pressingLanguage) {
              EXPECT_EQ(count(17, 18), hover == languageKey ? 0 : 1);
              EXPECT_EQ(Has(pressed, languageKey), hover != languageKey);
            }
            if (c.page != kMainPage) {
              // The strip draws each of its keys at most once.
              Keys strip = Main(c.over);
              const Keys down = Main(c.down);
              strip.insert(strip.end(), down.begin(), down.end());
              std::sort(strip.begin(), strip.end());
              EXPECT_EQ(std::adjacent_find(strip.begin(), strip.end()), strip.end());
            }
            if (config >= 1 && config <= 5) {
              EXPECT_TRUE(Has(pressed, 3u + config));
            }
          }
        }
      }
    }
  }
}

TEST_F(PaintPlan, HoveredKeyShowsOverAndHeldKeyShowsDown) {
  struct Case {
    uint8_t page;
    AtomicField<uint32_t> UiState::*hover;
    uint32_t key;
  };
  const Case cases[] = {{kMainPage, &UiState::mainHover, 60},
                        {kAdvancedPage, &UiState::advancedHover, 2},
                        {kColourPage, &UiState::colourHover, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int{c.page});
    const PageCase& pc = kPages[c.page];
    ui = UiState{};
    ui.*c.hover = c.key;
    for (uint8_t held : {1, 0}) {
      ui.held = held;
      Paint(c.page);
      const auto keys = [&](SkinPicture p) {
        return c.page == kMainPage ? Main(p) : c.page == kAdvancedPage ? Advanced(p) : Colour(p);
      };
      EXPECT_EQ(Has(keys(pc.down), c.key), held == 1);
      EXPECT_EQ(Has(keys(pc.over), c.key), held == 0);
    }
  }
}

TEST_F(PaintPlan, FireTimeBarCoversItsShareOfTheWidth) {
  skin->advanced.rects[30] = {100, 200, 226, 30};
  const struct {
    int32_t fireTime;
    int32_t width;
  } cases[] = {{0, 0}, {1, 0}, {150, 113}, {299, 225}, {300, 226}, {5000, 226}, {-7, 0}};
  for (const auto& c : cases) {
    profile.fireTime = c.fireTime;
    Paint(kAdvancedPage);
    int32_t drawn = 0;
    for (const auto& copy : canvas.CopiesFrom(SkinPicture::kAdvancedDown)) {
      if (copy.x == 100 && copy.y == 200) {
        EXPECT_EQ(copy.height, 30);
        drawn = copy.width;
      }
    }
    EXPECT_EQ(drawn, c.width) << c.fireTime;
  }
  profile.fireTime = 150;
  Paint(kAdvancedPage);
  ASSERT_NE(canvas.FindText(u"150ms"), nullptr);
}

TEST_F(PaintPlan, FunctionLabelsNameTheFunctionOrTheMacro) {
  macros.Write(0, MacroRecord::Named(u"First macro"));
  macros.Write(11, MacroRecord::Named(u"Last"));
  macros.SetCount(12);
  profile.buttons[0] = kFnFirstMacro;
  profile.buttons[1] = kFnLastMacro;
  profile.buttons[2] = 5;
  profile.buttons[3] = 40;
  ui.mainHover = 27;
  Paint(kMainPage);
  const struct {
    const char16_t* text;
    uint32_t key;
    TextColour colour;
  } cases[] = {{u"First macro", 25, kWhiteText},
               {u"Last", 26, kWhiteText},
               {u"F5", 27, kRedText},
               {u"F40", 28, kWhiteText}};
  for (const auto& c : cases) {
    const auto* t = canvas.FindText(c.text);
    ASSERT_NE(t, nullptr) << Narrow(c.text);
    const SkinRect& r = skin->main.rects[c.key];
    EXPECT_EQ(t->x, r.x + 5);
    EXPECT_EQ(t->y, r.y + (20 - 15) / 2);
    EXPECT_EQ(t->colour, c.colour);
  }
  // Hovering a label lights its button's mark instead of the attention mark.
  attention.armed = 0;
  attention.button = 1;
  Paint(kMainPage);
  EXPECT_EQ(Main(SkinPicture::kMainOver), (Keys{27, 92}));
  EXPECT_EQ(canvas.FindText(u"M60"), nullptr) << "main captions end at key 53";
}

TEST_F(PaintPlan, CaptionsAreCentredInTheLanguageFont) {
  language = 0;
  Paint(kColourPage);
  const auto* t = canvas.FindText(u"C4");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->font, TextFont::kSecondLanguage);
  EXPECT_EQ(t->x, 2040 + (8 - 12) / 2);
  EXPECT_EQ(t->y, 4 + (20 - 12) / 2);
  EXPECT_EQ(canvas.FindText(u"M25"), nullptr) << "labels belong to the main page";
}

TEST_F(PaintPlan, AdvancedCaptionsAreRewritten) {
  const struct {
    int32_t lang;
    bool recording;
    const char16_t* record;
  } cases[] = {
      {1, false, u"Record"}, {1, true, u"Stop"}, {0, false, u"Gravar"}, {0, true, u"Parar"}};
  counters = {3, 2};
  for (const auto& c : cases) {
    language = c.lang;
    recording = c.recording;
    Paint(kAdvancedPage);
    EXPECT_EQ(skin->advanced.captions[4], c.record);
    EXPECT_NE(canvas.FindText(c.record), nullptr);
    EXPECT_EQ(Has(Advanced(SkinPicture::kAdvancedDown), 4), c.recording);
  }
  EXPECT_NE(canvas.FindText(u"[↓]3"), nullptr);
  EXPECT_NE(canvas.FindText(u"[↑]2"), nullptr);
  ui.advancedHover = 5;
  Paint(kAdvancedPage);
  EXPECT_EQ(canvas.FindText(u"A5")->colour, kRedText);
  EXPECT_EQ(canvas.FindText(u"A6")->colour, kWhiteText);
}

TEST_F(PaintPlan, AdvancedStatesFollowTheProfileAndMacro) {
  profile.pointerSpeed = 9;
  profile.wheelSpeed = 0;
  profile.macroHoldMode = 1;
  MacroRecord repeating = MacroRecord::Named(u"r");
  repeating.repeatMode = 1;
  macros.Write(2, repeating);
  macros.SetCount(3);
  macros.currentMacro = 2;
  Paint(kAdvancedPage);
  EXPECT_EQ(Advanced(SkinPicture::kAdvancedDown), (Keys{17, 18, 7, 6}));
  macros.currentMacro = 0;
  profile.macroHoldMode = 0;
  profile.pointerSpeed = 200;  // a stray value draws nothing rather than a wrong key
  Paint(kAdvancedPage);
  EXPECT_EQ(Advanced(SkinPicture::kAdvancedDown), (Keys{18}));
}

TEST_F(PaintPlan, MainStatesShowLevelsKnobsWheelAndCaptions) {
  profile.dpiLevel = 2;
  profile.dpiEnabled = {1, 0, 1, 0};
  profile.dpiKnobKey = {62, 65, 74, 79};
  profile.wheelStatus = 1;
  Paint(kMainPage);
  const Keys down = Main(SkinPicture::kMainDown);
  EXPECT_EQ(Keys(down.begin(), down.begin() + 5), (Keys{82, 46, 48, 42, 4}));
  EXPECT_EQ(KeysFrom(canvas, skin->main, SkinPicture::kDpiSlider), (Keys{62, 65, 74, 79}));
  for (const auto& c : canvas.CopiesFrom(SkinPicture::kDpiSlider)) {
    EXPECT_EQ(c.sourceX, 0);
    EXPECT_EQ(c.sourceY, 0);
    EXPECT_EQ(c.width, 8);
  }
  EXPECT_EQ(canvas.FindText(u"M50")->colour, kRedText);
  EXPECT_EQ(canvas.FindText(u"M51")->colour, kGreyText);
  profile.wheelStatus = 7;
  Paint(kMainPage);
  EXPECT_TRUE(Has(Main(SkinPicture::kMainDown), 41));
}

TEST_F(PaintPlan, AttentionMarkFollowsTheBlinkPhase) {
  attention.button = 3;
  attention.armed = 1;
  Paint(kMainPage);
  EXPECT_TRUE(Main(SkinPicture::kMainOver).empty());
  attention.armed = 0;
  attention.blinkPhase = kBlinkOver;
  Paint(kMainPage);
  EXPECT_EQ(Main(SkinPicture::kMainOver), (Keys{92}));
  attention.blinkPhase = kBlinkDown;
  Paint(kMainPage);
  EXPECT_TRUE(Has(Main(SkinPicture::kMainDown), 92));
  attention.button = 0;  // never set by an apply
  Paint(kMainPage);
  EXPECT_FALSE(Has(Main(SkinPicture::kMainDown), 89));
}

TEST_F(PaintPlan, ColourPageShowsLedChoicePreviewAndDpiReadout) {
  const struct {
    uint8_t off, colour;
    std::optional<SkinPicture> tile;
  } cases[] = {{1, 2, SkinPicture::kColourTileGrey},
               {0, 0, SkinPicture::kColourTileBlue},
               {0, 1, std::nullopt},
               {0, 2, SkinPicture::kColourOver},
               {0, 3, SkinPicture::kColourDown}};
  profile.ledMode = 2;
  for (const auto& c : cases) {
    ui.previewOff = c.off;
    ui.previewColour = c.colour;
    Paint(kColourPage);
    Keys tiles;
    for (SkinPicture p : {SkinPicture::kColourTileGrey, SkinPicture::kColourTileBlue,
                          SkinPicture::kColourOver, SkinPicture::kColourDown}) {
      if (Has(Colour(p), 11)) {
        EXPECT_EQ(c.tile, p);
        tiles.push_back(11);
      }
    }
    EXPECT_EQ(tiles.size(), c.tile ? 1u : 0u);
    EXPECT_TRUE(Has(Colour(SkinPicture::kColourDown), 2));
  }
  const char16_t* readouts[] = {u"3200", u"1200", u"1600", u"2000", u"2400", u"1200"};
  profile.dpiLevel = 1;
  for (uint8_t index = 0; index < 6; ++index) {
    profile.appliedDpiValue[1] = index;
    Paint(kColourPage);
    EXPECT_NE(canvas.FindText(readouts[index]), nullptr) << int{index};
    EXPECT_EQ(canvas.FindText(u"C9"), nullptr);
  }
}

TEST_F(PaintPlan, StrayPageAndHoverValuesDrawSafely) {
  ui.page = 9;
  ui.mainHover = 99;
  PaintPage(Inputs(), canvas);
  EXPECT_EQ(canvas.background(), SkinPicture::kMainNormal);
  ui.mainHover = 4000;
  ui.advancedHover = 46;
  ui.colourHover = 13;
  for (const PageCase& c : kPages) Paint(c.page);
  SUCCEED();
}

TEST(PaintCanvasClip, CopiesAreCutToBothPictures) {
  const struct {
    CopyBlock in;
    bool any;
    CopyBlock out;
  } cases[] = {
      {{0, 0, 10, 10, 20, 20}, true, {0, 0, 10, 10, 20, 20}},
      {{90, 0, 0, 0, 20, 5}, true, {90, 0, 0, 0, 10, 5}},       // source right edge
      {{0, 0, 190, 95, 20, 20}, true, {0, 0, 190, 95, 10, 5}},  // target corner
      {{-5, 0, 0, 0, 10, 10}, true, {0, 0, 5, 0, 5, 10}},       // left of the source
      {{0, 0, 0, -30, 10, 10}, false, {}},
      {{0, 0, 0, 0, 0, 10}, false, {}},
      {{0, 0, 0, 0, -4, 10}, false, {}},
      {{INT32_MAX, 0, 0, 0, INT32_MAX, 1}, false, {}},
      {{0, 0, INT32_MIN, 0, INT32_MAX, 1}, false, {}},
  };
  for (const auto& c : cases) {
    CopyBlock b = c.in;
    ASSERT_EQ(ClipCopy(100, 50, 200, 100, b), c.any);
    if (!c.any) continue;
    EXPECT_EQ(std::tie(b.sourceX, b.sourceY, b.x, b.y, b.width, b.height),
              std::tie(c.out.sourceX, c.out.sourceY, c.out.x, c.out.y, c.out.width, c.out.height));
  }
}

TEST(PaintShippedSkin, EveryPageComposesAFaceOfTheMaskSize) {
  auto pictures = test::PicturesUnderTest();
  const Text folder = test::ShippedSkinFolder();
  Picture mask;
  ASSERT_TRUE(pictures->Load(folder + u"\\main_mask.jpg", mask));
  PageSkin skin;
  // The tables are not needed to compose pixels; a few keys drawn are enough.
  skin.main.rects[9] = {10, 10, 40, 20};
  UiState ui;
  MouseProfile profile;
  MacroStore macros;
  AttentionState attention;
  HostCanvas canvas(*pictures, folder);
  std::vector<uint8_t> previous;
  for (uint8_t page : {kMainPage, kAdvancedPage, kColourPage}) {
    ui.page = page;
    PaintPage({.ui = ui,
               .skin = skin,
               .profile = profile,
               .macros = macros,
               .counters = {},
               .attention = attention},
              canvas);
    EXPECT_EQ(canvas.face().width, mask.width);
    EXPECT_EQ(canvas.face().height, mask.height);
    EXPECT_NE(canvas.face().rgb, previous);
    previous = canvas.face().rgb;
  }
}

}  // namespace
}  // namespace nuv
