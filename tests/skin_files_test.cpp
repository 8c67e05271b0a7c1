// The shipped skin set: every INI file of both languages loads through every
// INI adapter of this build, every key with a role has a rectangle on its page,
// and every caption the program draws fits its rectangle in the language's font.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/host/recording_messages.h"
#include "skin_face_widths.h"
#include "skin_test_support.h"
#include "test_support.h"
#include "ui/skin_tables.h"

namespace nuv::test {
namespace {

// Text width as the system draws it with a font created from a cell height and
// an average character width: the face is stretched so that its average width
// becomes the requested one, so the width is the sum of the advances scaled by
// requested average / face average.
int32_t TextWidth(TextView text, const FaceWidths& face, int32_t averageWidth) {
  double units = 0;
  for (char16_t c : text) {
    double advance = face.averageWidth * 1.5;  // unknown characters: assume wide
    for (size_t i = 0; i < std::size(face.chars); ++i) {
      if (face.chars[i] == c) {
        advance = face.widths[i];
        break;
      }
    }
    units += advance;
  }
  return static_cast<int32_t>(std::ceil(units * averageWidth / face.averageWidth));
}

struct Language {
  int32_t flag;
  const char* name;
  const FaceWidths& face;
  int32_t cellHeight;
  int32_t averageWidth;
  const char16_t* record;
  const char16_t* stop;
};
const Language kLanguages[] = {
    {1, "English", kArialWidths, 15, 7, u"Record", u"Stop"},
    {0, "second language", kVerdanaWidths, 12, 6, u"Gravar", u"Parar"},
};

struct Skin {
  MainSkinTable main;
  FunctionNameTable names;
  AdvancedSkinTable advanced;
  MacroControlRects controls;
  ColourSkinTable colour;
  WarningSkinTable warning;
};

std::vector<size_t> Range(size_t first, size_t last) {
  std::vector<size_t> keys;
  for (size_t k = first; k <= last; ++k) keys.push_back(k);
  return keys;
}

std::vector<size_t> Join(std::initializer_list<std::vector<size_t>> parts) {
  std::vector<size_t> keys;
  for (const auto& p : parts) keys.insert(keys.end(), p.begin(), p.end());
  return keys;
}

// Keys the program gives a role (an action, a state or a text of its own).
const std::vector<size_t> kMainRoles =
    Join({Range(0, 19), Range(25, 31), Range(41, 42), Range(46, 57), Range(60, 83), Range(90, 96)});
const std::vector<size_t> kAdvancedRoles = Join({Range(0, 27), Range(30, 33), Range(38, 39)});
const std::vector<size_t> kColourRoles = Join({Range(0, 3), {9, 11}});
const std::vector<size_t> kWarningRoles = Range(0, 2);

void ExpectPlaced(const char* table, std::span<const SkinRect> rects,
                  const std::vector<size_t>& roles, int32_t width, int32_t height) {
  for (size_t key : roles) {
    const SkinRect& r = rects[key];
    EXPECT_TRUE(r.width > 0 && r.height > 0 && r.x >= 0 && r.y >= 0 && r.x + r.width <= width &&
                r.y + r.height <= height)
        << table << " key " << key << " at " << r.x << "," << r.y << " " << r.width << "x"
        << r.height;
  }
}

void ExpectFits(const Language& lang, const char* table, size_t key, const SkinRect& r,
                TextView text, int32_t indent = 0) {
  if (text.empty()) return;
  const int32_t wide = TextWidth(text, lang.face, lang.averageWidth);
  EXPECT_LE(wide + indent + 2, r.width) << lang.name << " " << table << " key " << key << " \""
                                        << Narrow(text) << "\" is " << wide << " px wide";
  EXPECT_LE(lang.cellHeight, r.height) << lang.name << " " << table << " key " << key;
}

class ShippedSkinTest : public ::testing::TestWithParam<Language> {
 protected:
  Picture Load(const char* name) {
    Picture picture;
    EXPECT_TRUE(PicturesUnderTest()->Load(ShippedSkinFolder() + u"\\" + Widen(name), picture))
        << name;
    return picture;
  }
};

TEST_P(ShippedSkinTest, EveryRoleIsPlacedAndEveryDrawnCaptionFits) {
  const Language& lang = GetParam();
  const Picture mask = Load("main_mask.jpg");
  const Picture warningMask = Load("warning_mask.jpg");
  ASSERT_FALSE(mask.empty());
  ASSERT_FALSE(warningMask.empty());

  for (auto& [adapterName, ini] : IniAdaptersUnderTest()) {
    SCOPED_TRACE(adapterName);
    RecordingMessages messages;
    int closes = 0;
    SkinSources sources{*ini, messages, u"NUV_Talv", nullptr, [&] { ++closes; }};
    Skin skin;
    const Text folder = ShippedSkinFolder();
    ASSERT_TRUE(LoadMainSkin(sources, folder, lang.flag, skin.main, skin.names));
    ASSERT_TRUE(LoadColourSkin(sources, folder, lang.flag, skin.colour));
    ASSERT_TRUE(LoadAdvancedSkin(sources, folder, lang.flag, skin.advanced, skin.controls));
    ASSERT_TRUE(LoadWarningSkin(sources, folder, lang.flag, skin.warning));
    EXPECT_TRUE(messages.All().empty());
    EXPECT_EQ(closes, 0);

    ExpectPlaced("main", skin.main.rects, kMainRoles, mask.width, mask.height);
    ExpectPlaced("advanced", skin.advanced.rects, kAdvancedRoles, mask.width, mask.height);
    ExpectPlaced("colour", skin.colour.rects, kColourRoles, mask.width, mask.height);
    ExpectPlaced("warning", skin.warning.rects, kWarningRoles, warningMask.width,
                 warningMask.height);
    const SkinRect controls[] = {skin.controls.repeatCountEdit, skin.controls.macroNameEdit,
                                 skin.controls.macroNameList, skin.controls.macroEventList};
    ExpectPlaced("macro control", controls, Range(0, 3), mask.width, mask.height);

    // Texts of the main page: keys 0 to 53, function labels by the names.
    for (size_t key = 0; key <= 53; ++key) {
      if (key < 25 || key > 31)
        ExpectFits(lang, "main", key, skin.main.rects[key], skin.main.captions[key]);
    }
    // Advanced keys 0 to 45, with the captions the program writes itself.
    for (size_t key = 0; key < kAdvancedSkinKeys; ++key) {
      ExpectFits(lang, "advanced", key, skin.advanced.rects[key], skin.advanced.captions[key]);
    }
    ExpectFits(lang, "advanced", 4, skin.advanced.rects[4], lang.record);
    ExpectFits(lang, "advanced", 4, skin.advanced.rects[4], lang.stop);
    ExpectFits(lang, "advanced", 33, skin.advanced.rects[33], u"300ms");
    ExpectFits(lang, "advanced", 38, skin.advanced.rects[38], u"[↓]254");
    ExpectFits(lang, "advanced", 39, skin.advanced.rects[39], u"[↑]254");
    for (size_t key = 0; key < kColourSkinKeys; ++key) {
      ExpectFits(lang, "colour", key, skin.colour.rects[key],
                 key == 9 ? Text(u"3200") : skin.colour.captions[key]);
    }
    for (size_t key = 0; key < kWarningSkinKeys; ++key) {
      ExpectFits(lang, "warning", key, skin.warning.rects[key], skin.warning.captions[key]);
    }

    // Every function has a name; those a button can hold fit every label,
    // drawn 5 pixels in.
    for (int32_t code = 1; code <= 54; ++code) {
      EXPECT_FALSE(FunctionName(skin.names, code).empty()) << "function " << code;
      const bool assignable = (code >= 1 && code <= 6) || (code >= 11 && code <= 19) ||
                              (code >= 21 && code <= 26) || (code >= 31 && code <= 40);
      if (!assignable) continue;
      for (size_t key = 25; key <= 31; ++key) {
        ExpectFits(lang, "label", key, skin.main.rects[key], FunctionName(skin.names, code), 5);
      }
    }
  }
}

TEST_P(ShippedSkinTest, FunctionMenusHoldTheirNames) {
  const Language& lang = GetParam();
  auto ini = std::move(IniAdaptersUnderTest().front().second);
  RecordingMessages messages;
  SkinSources sources{*ini, messages, u"NUV_Talv", nullptr, nullptr};
  Skin skin;
  ASSERT_TRUE(LoadMainSkin(sources, ShippedSkinFolder(), lang.flag, skin.main, skin.names));

  const Picture first = Load("menu_mask.jpg");
  const Picture second = Load("advanced menu_mask.jpg");
  // The first level is cut to ten rows, the second to at most twelve, within
  // the 300 by 300 and 300 by 400 windows they are shown in.
  ASSERT_GT(first.height / 10, lang.cellHeight);
  ASSERT_GT(second.height / 12, lang.cellHeight);
  EXPECT_LE(first.width, 300);
  EXPECT_LE(10 * (first.height / 10) + 1, 300);
  EXPECT_LE(second.width, 300);
  EXPECT_LE(12 * (second.height / 12) + 1, 400);
  const SkinRect firstRow{0, 0, first.width - 24, first.height / 10};  // room for the group arrow
  const SkinRect secondRow{0, 0, second.width, second.height / 12};
  for (int32_t code = 1; code <= 10; ++code) {
    ExpectFits(lang, "menu row", static_cast<size_t>(code), firstRow,
               FunctionName(skin.names, code));
  }
  for (int32_t code : {11, 12, 13, 14, 15, 16, 17, 18, 19, 21, 22, 23, 24,
                       25, 26, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40}) {
    ExpectFits(lang, "submenu row", static_cast<size_t>(code), secondRow,
               FunctionName(skin.names, code));
  }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ShippedSkinTest, ::testing::ValuesIn(kLanguages),
                         [](const auto& info) { return info.param.flag ? "English" : "Second"; });

TEST(ShippedSkin, BothLanguagesShareOneLayout) {
  // The pictures are the same for both languages, so every rectangle must be too.
  auto ini = std::move(IniAdaptersUnderTest().front().second);
  RecordingMessages messages;
  SkinSources sources{*ini, messages, u"NUV_Talv", nullptr, nullptr};
  Skin en, pt;
  const Text folder = ShippedSkinFolder();
  ASSERT_TRUE(LoadMainSkin(sources, folder, 1, en.main, en.names));
  ASSERT_TRUE(LoadMainSkin(sources, folder, 0, pt.main, pt.names));
  ASSERT_TRUE(LoadAdvancedSkin(sources, folder, 1, en.advanced, en.controls));
  ASSERT_TRUE(LoadAdvancedSkin(sources, folder, 0, pt.advanced, pt.controls));
  ASSERT_TRUE(LoadColourSkin(sources, folder, 1, en.colour));
  ASSERT_TRUE(LoadColourSkin(sources, folder, 0, pt.colour));
  ASSERT_TRUE(LoadWarningSkin(sources, folder, 1, en.warning));
  ASSERT_TRUE(LoadWarningSkin(sources, folder, 0, pt.warning));
  EXPECT_EQ(en.main.rects, pt.main.rects);
  EXPECT_EQ(en.advanced.rects, pt.advanced.rects);
  EXPECT_EQ(en.colour.rects, pt.colour.rects);
  EXPECT_EQ(en.warning.rects, pt.warning.rects);
  EXPECT_EQ(en.controls.macroEventListBox, pt.controls.macroEventListBox);
  EXPECT_NE(en.main.captions[9], pt.main.captions[9]) << "the tabs are translated";
  EXPECT_EQ(pt.main.captions[10], u"Avançado");
  EXPECT_EQ(en.warning.captions[0].empty(), false);
}

}  // namespace
}  // namespace nuv::test
