// Reading skin values: the seven-field split, the two messages, the stop on a
// missing file, and the loaders' tables.
#include <gtest/gtest.h>

#include "platform/host/host_ini.h"
#include "platform/host/recording_messages.h"
#include "test_support.h"
#include "ui/skin_tables.h"

namespace nuv::test {
namespace {

struct SplitCase {
  const char* value;
  std::array<const char*, 7> fields;
};

class SkinSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SkinSplitTest, FillsTheFieldsInOrder) {
  const SplitCase& c = GetParam();
  const SkinEntry entry = SplitSkinValue(T(c.value));
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(Narrow(entry[i]), c.fields[i]) << "field " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Values, SkinSplitTest,
    ::testing::Values(
        // six commas: label, rectangle, caption, empty seventh field
        SplitCase{"apply,10,20,30,40,Text,", {"apply", "10", "20", "30", "40", "Text", ""}},
        // no comma: the whole value is field 0
        SplitCase{"Left Click", {"Left Click", "", "", "", "", "", ""}},
        SplitCase{"", {"", "", "", "", "", "", ""}},
        // fewer commas: the text after the last one goes into the next field
        SplitCase{"a,1,2", {"a", "1", "2", "", "", "", ""}},
        SplitCase{"a,1,2,", {"a", "1", "2", "", "", "", ""}},
        SplitCase{",", {"", "", "", "", "", "", ""}},
        // more than six: field 6 keeps the further commas
        SplitCase{"a,1,2,3,4,Cap,x,y,z", {"a", "1", "2", "3", "4", "Cap", "x,y,z"}},
        SplitCase{",,,,,,,", {"", "", "", "", "", "", ","}}));

class SkinReadTest : public ::testing::Test {
 protected:
  ScratchFolder dir;
  HostIni ini;
  RecordingMessages messages;
  int closes = 0;
  SkinSources sources{ini, messages, u"NUV_Talv", nullptr, [this] { ++closes; }};

  void WriteSkin(const std::string& name, const std::string& body) { dir.Write(name, body); }
};

TEST_F(SkinReadTest, RectangleAndCaptionFromASixCommaValue) {
  WriteSkin("s.ini", "[BUTTONPOS]\n0=label,10,20,30,40,Text,\n1=Left Click\n");
  SkinEntry entry;
  ASSERT_TRUE(ReadSkinEntry(sources, dir.Path("s.ini"), u"BUTTONPOS", 0, entry));
  EXPECT_EQ(SkinRectOf(entry), (SkinRect{10, 20, 30, 40}));
  EXPECT_EQ(entry[5], u"Text");
  // Without commas the value is no rectangle.
  ASSERT_TRUE(ReadSkinEntry(sources, dir.Path("s.ini"), u"BUTTONPOS", 1, entry));
  EXPECT_EQ(SkinRectOf(entry), SkinRect{});
  EXPECT_TRUE(messages.All().empty());
}

TEST_F(SkinReadTest, AbsentKeyGivesEmptyFieldsWithoutMessage) {
  WriteSkin("s.ini", "[BUTTONPOS]\n0=a,1,2,3,4,b,\n");
  SkinEntry entry;
  entry[0] = u"stale";
  ASSERT_TRUE(ReadSkinEntry(sources, dir.Path("s.ini"), u"BUTTONPOS", 7, entry));
  EXPECT_EQ(entry, SkinEntry{});
  EXPECT_TRUE(messages.All().empty());
}

TEST_F(SkinReadTest, MoreThanSixCommasIsReportedAndStillSplit) {
  WriteSkin("s.ini", "[BUTTONPOS]\n0=a,1,2,3,4,Cap,x,y\n1=a,1,2,3,4,Cap,x\n");
  SkinEntry entry;
  ASSERT_TRUE(ReadSkinEntry(sources, dir.Path("s.ini"), u"BUTTONPOS", 1, entry));
  EXPECT_TRUE(messages.All().empty()) << "six commas are allowed";
  ASSERT_TRUE(ReadSkinEntry(sources, dir.Path("s.ini"), u"BUTTONPOS", 0, entry));
  ASSERT_EQ(messages.All().size(), 1u);
  EXPECT_EQ(messages.All()[0].text, kSkinEntryMalformedText);
  EXPECT_EQ(messages.All()[0].caption, u"NUV_Talv");
  EXPECT_EQ(entry[5], u"Cap");
  EXPECT_EQ(entry[6], u"x,y");
  EXPECT_EQ(closes, 0);
}

TEST_F(SkinReadTest, ValueIsReadThroughA260CharacterBuffer) {
  const std::string caption(300, 'c');
  WriteSkin("s.ini", "[BUTTONPOS]\n0=a,1,2,3,4," + caption + ",\n");
  SkinEntry entry;
  ASSERT_TRUE(ReadSkinEntry(sources, dir.Path("s.ini"), u"BUTTONPOS", 0, entry));
  // 259 characters: "a,1,2,3,4," is 10 of them.
  EXPECT_EQ(entry[5].size(), 249u);
  EXPECT_EQ(entry[6], u"");
}

TEST_F(SkinReadTest, MissingFileShowsOneMessageRunsTheCloseSequenceAndStopsTheLoader) {
  MainSkinTable table;
  table.captions[3] = u"old";
  FunctionNameTable names;
  names[0] = u"old";
  EXPECT_FALSE(LoadMainSkin(sources, dir.folder(), 1, table, names));
  ASSERT_EQ(messages.All().size(), 1u);
  EXPECT_EQ(messages.All()[0].text, kSkinFileMissingText);
  EXPECT_EQ(messages.All()[0].caption, u"NUV_Talv");
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(table.captions[3], u"");
  EXPECT_EQ(names[0], u"");
}

TEST_F(SkinReadTest, LoadersPickTheFileOfTheLanguage) {
  std::filesystem::create_directories(dir.FsPath("INI_EN"));
  std::filesystem::create_directories(dir.FsPath("INI_CN"));
  WriteSkin("INI_EN/skin_color_en.ini", "[BUTTONPOS]\n0=a,1,2,3,4,English,\n");
  WriteSkin("INI_CN/skin_color.ini",
            "[BUTTONPOS]\n0=a,1,2,3,4,Portugues,\n12=a,5,6,7,8,Last,\n13=a,9,9,9,9,Beyond,\n");
  ColourSkinTable table;
  ASSERT_TRUE(LoadColourSkin(sources, dir.folder(), 7, table));
  EXPECT_EQ(table.captions[0], u"English");
  ASSERT_TRUE(LoadColourSkin(sources, dir.folder(), 0, table));
  EXPECT_EQ(table.captions[0], u"Portugues");
  EXPECT_EQ(table.rects[12], (SkinRect{5, 6, 7, 8}));
  EXPECT_EQ(table.captions[12], u"Last");
  EXPECT_TRUE(messages.All().empty());
}

TEST_F(SkinReadTest, MainLoaderReadsFunctionNamesAtCodeMinusOne) {
  std::filesystem::create_directories(dir.FsPath("INI_EN"));
  WriteSkin("INI_EN/skin_main_en.ini",
            "[BUTTONPOS]\n99=last,-5,7,0,-3,Cap,\n[FUN_STRING]\n1=Left Click\n54=Last name\n"
            "2=With,comma\n0=never read\n55=never read\n");
  MainSkinTable table;
  FunctionNameTable names;
  ASSERT_TRUE(LoadMainSkin(sources, dir.folder(), 1, table, names));
  EXPECT_EQ(FunctionName(names, 1), u"Left Click");
  EXPECT_EQ(FunctionName(names, 54), u"Last name");
  EXPECT_EQ(FunctionName(names, 2), u"With");
  EXPECT_EQ(FunctionName(names, 3), u"") << "an absent key leaves the name empty";
  EXPECT_EQ(FunctionName(names, 0), u"");
  EXPECT_EQ(FunctionName(names, 55), u"");
  // Stored as read, negative and zero sizes included.
  EXPECT_EQ(table.rects[99], (SkinRect{-5, 7, 0, -3}));
}

TEST_F(SkinReadTest, AdvancedLoaderKeepsTheControlsInBothForms) {
  std::filesystem::create_directories(dir.FsPath("INI_CN"));
  WriteSkin(
      "INI_CN/skin_advance.ini",
      "[BUTTONPOS]\n45=x,1,1,1,1,End,\n[EDIT]\n3=r,10,20,30,40,\n4=n,1,2,3,4,\n1=ignored,9,9,9,9,\n"
      "[MACRODISPLAY]\n1=l,5,6,7,8,\n2=e,2147483647,0,5,-2147483647,\n");
  AdvancedSkinTable table;
  MacroControlRects controls;
  ASSERT_TRUE(LoadAdvancedSkin(sources, dir.folder(), 0, table, controls));
  EXPECT_EQ(table.captions[45], u"End");
  EXPECT_EQ(controls.repeatCountEdit, (SkinRect{10, 20, 30, 40}));
  EXPECT_EQ(controls.repeatCountEditBox, (SkinBox{10, 20, 40, 60}));
  EXPECT_EQ(controls.macroNameEditBox, (SkinBox{1, 2, 4, 6}));
  EXPECT_EQ(controls.macroNameListBox, (SkinBox{5, 6, 12, 14}));
  // Sums beyond the int32 range saturate instead of wrapping.
  EXPECT_EQ(controls.macroEventListBox, (SkinBox{2147483647, 0, 2147483647, -2147483647}));
  // Scaled, edges further apart than int32 holds give the largest extent.
  controls.macroEventList = {-2147483647, -2147483647, 2147483647, 2147483647};
  for (int32_t dpi : {96, 144, 192, 960}) {
    const SkinRect scaled = ScaledControls(controls, DisplayScale(dpi)).macroEventList;
    EXPECT_EQ(scaled.width, INT32_MAX) << dpi;
    EXPECT_EQ(scaled.height, INT32_MAX) << dpi;
  }
}

TEST(SkinPaths, FolderAndFileNamesByLanguage) {
  EXPECT_EQ(SkinFolderFor(u"C:\\App"), u"C:\\App\\skins");
  EXPECT_EQ(SkinIniPath(u"S", SkinFile::kMain, 1), u"S\\INI_EN\\skin_main_en.ini");
  EXPECT_EQ(SkinIniPath(u"S", SkinFile::kMain, 0), u"S\\INI_CN\\skin_main.ini");
  EXPECT_EQ(SkinIniName(SkinFile::kAdvanced, 255), u"\\INI_EN\\skin_advance_en.ini");
  EXPECT_EQ(SkinIniName(SkinFile::kAdvanced, 0), u"\\INI_CN\\skin_advance.ini");
  EXPECT_EQ(SkinIniName(SkinFile::kColour, 1), u"\\INI_EN\\skin_color_en.ini");
  EXPECT_EQ(SkinIniName(SkinFile::kColour, 0), u"\\INI_CN\\skin_color.ini");
  EXPECT_EQ(SkinIniName(SkinFile::kWarning, 1), u"\\INI_EN\\LBWarning_en.ini");
  EXPECT_EQ(SkinIniName(SkinFile::kWarning, 0), u"\\INI_CN\\LBWarning.ini");
}

TEST(SkinHitTest, HalfOpenBoxesLowestKeyAndLastIndex) {
  std::array<SkinRect, 4> table{SkinRect{10, 10, 20, 10}, SkinRect{0, 0, 100, 100},
                                SkinRect{50, 50, 0, 10}, SkinRect{200, 0, 10, 10}};
  struct Probe {
    int32_t x, y;
    size_t last;
    uint32_t want;
  };
  const Probe probes[] = {
      {10, 10, 3, 0},                       // top-left corner is inside
      {29, 19, 3, 0},                       // last pixel inside
      {30, 15, 3, 1},                       // right edge x + width belongs to the next box only
      {15, 20, 3, 1},                       // bottom edge likewise
      {50, 55, 3, 1},                       // a zero-width box never hits
      {205, 5, 2, 255},                     // beyond the last index
      {205, 5, 3, 3},   {205, 5, 1000, 3},  // a last index past the table is cut to it
      {-1, 0, 3, 255},  {100, 50, 3, 255},
  };
  for (const auto& p : probes) {
    EXPECT_EQ(HitTest(p.x, p.y, table, p.last), p.want) << p.x << "," << p.y << " last " << p.last;
  }
  const SkinRect huge{2147483600, 0, 2147483647, 10};
  EXPECT_TRUE(huge.Contains(2147483647, 0)) << "no overflow at the int32 limit";
}

}  // namespace
}  // namespace nuv::test
