// Conversion of a menu tree into owner-drawn items with records, and the item
// sizes, against a menu tree kept in memory.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "res/menu_ids.h"
#include "ui/nuv_menu.h"

namespace nuv::test {
namespace {

struct FakeItem {
  Text text;
  int32_t id = 0;
  MenuHandle sub = 0;
  const MenuItemRecord* data = nullptr;
  bool ownerDrawn = false;
};

// Menus numbered from 1; 0 is no menu, as with system handles.
class FakeMenuTree final : public MenuTree {
 public:
  MenuHandle NewMenu() {
    menus_.emplace_back();
    return menus_.size();
  }
  void Add(MenuHandle menu, std::string text, int32_t id) { At(menu).push_back({Widen(text), id}); }
  MenuHandle AddPopup(MenuHandle menu, std::string text) {
    const MenuHandle sub = NewMenu();
    At(menu).push_back({Widen(text), -1, sub});
    return sub;
  }
  std::vector<FakeItem>& At(MenuHandle menu) { return menus_.at(menu - 1); }

  int32_t ItemCount(MenuHandle menu) const override {
    return static_cast<int32_t>(menus_.at(menu - 1).size());
  }
  Text ItemText(MenuHandle menu, int32_t position) const override {
    return Item(menu, position).text;
  }
  int32_t ItemId(MenuHandle menu, int32_t position) const override {
    return Item(menu, position).id;
  }
  MenuHandle SubMenu(MenuHandle menu, int32_t position) const override {
    return Item(menu, position).sub;
  }
  void MakeOwnerDrawn(MenuHandle menu, int32_t position, const MenuItemRecord& record) override {
    FakeItem& item = menus_.at(menu - 1).at(position);
    item.ownerDrawn = true;
    item.data = &record;
  }

 private:
  const FakeItem& Item(MenuHandle menu, int32_t position) const {
    return menus_.at(menu - 1).at(position);
  }
  std::vector<std::vector<FakeItem>> menus_;
};

// The shape of the macro context menu: two insert menus of three buttons with a
// down and an up item each, then two plain commands. 22 items.
MenuHandle BuildMacroShape(FakeMenuTree& tree) {
  const MenuHandle root = tree.NewMenu();
  int32_t id = 100;
  for (const char* insert : {"Add Forward", "Add Backward"}) {
    const MenuHandle buttons = tree.AddPopup(root, insert);
    for (const char* button : {"Left Button", "Right Button", "Mid Button"}) {
      const MenuHandle directions = tree.AddPopup(buttons, button);
      tree.Add(directions, "Down", id++);
      tree.Add(directions, "Up", id++);
    }
  }
  tree.Add(root, "Modify Delay", 32780);
  tree.Add(root, "Delete", 32781);
  return root;
}

TEST(MenuConvert, RecordsFollowTheTreeDepthFirst) {
  FakeMenuTree tree;
  const MenuHandle root = BuildMacroShape(tree);
  MenuRecords records;
  EXPECT_EQ(records.Convert(tree, root), 22u);
  ASSERT_EQ(records.count(), 22u);

  const std::vector<std::pair<std::string, int32_t>> expected = {
      {"Add Forward", -1}, {"Left Button", -1},  {"Down", 100},
      {"Up", 101},         {"Right Button", -1}, {"Down", 102},
      {"Up", 103},         {"Mid Button", -1},   {"Down", 104},
      {"Up", 105},         {"Add Backward", -1}, {"Left Button", -1},
      {"Down", 106},       {"Up", 107},          {"Right Button", -1},
      {"Down", 108},       {"Up", 109},          {"Mid Button", -1},
      {"Down", 110},       {"Up", 111},          {"Modify Delay", 32780},
      {"Delete", 32781}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(Narrow(records[i].text), expected[i].first) << i;
    EXPECT_EQ(records[i].kind, expected[i].second) << i;
  }
  // Every item, in every sub-menu, is owner-drawn with its own record as data,
  // and the items that open a sub-menu still open it.
  const MenuHandle forward = tree.At(root)[0].sub;
  ASSERT_NE(forward, 0u);
  EXPECT_EQ(tree.At(root)[0].data, &records[0]);
  EXPECT_EQ(tree.At(forward)[0].data, &records[1]);
  EXPECT_EQ(tree.At(tree.At(forward)[0].sub)[1].data, &records[3]);
  EXPECT_EQ(tree.At(root)[3].data, &records[21]);
  for (MenuHandle m = 1; m <= 9; ++m) {
    for (const FakeItem& item : tree.At(m)) {
      EXPECT_TRUE(item.ownerDrawn);
      EXPECT_TRUE(records.Owns(item.data));
    }
  }
}

TEST(MenuConvert, ResetStartsAgainAtRecordZeroAndAppendsOtherwise) {
  FakeMenuTree tree;
  const MenuHandle tray = tree.NewMenu();
  tree.Add(tray, "Show Window", 32801);
  tree.Add(tray, "Exit Driver", 32800);
  MenuRecords records;
  records.Convert(tree, tray);
  records.Convert(tree, tray);
  EXPECT_EQ(records.count(), 4u);
  EXPECT_EQ(Narrow(records[3].text), "Exit Driver");

  FakeMenuTree other;
  const MenuHandle pt = other.NewMenu();
  other.Add(pt, "Mostrar Janela ", 32837);
  records.Reset();
  EXPECT_FALSE(records.Owns(&records[0]));
  records.Convert(other, pt);
  ASSERT_EQ(records.count(), 1u);
  EXPECT_EQ(records[0].text, u"Mostrar Janela ");
  EXPECT_EQ(records[0].kind, 32837);
  EXPECT_FALSE(records.Owns(&records[1]));
}

TEST(MenuConvert, ItemsBeyondThirtyAreLeftToTheSystem) {
  FakeMenuTree tree;
  const MenuHandle root = BuildMacroShape(tree);                                       // 22 items
  const MenuHandle extra = tree.AddPopup(root, "More");                                // 23rd
  for (int i = 0; i < 10; ++i) tree.Add(extra, "Item " + std::to_string(i), 200 + i);  // 24th..33rd
  tree.Add(root, "Last", 300);

  MenuRecords records;
  EXPECT_EQ(records.Convert(tree, root), kMenuRecordCapacity);
  EXPECT_EQ(records.count(), kMenuRecordCapacity);
  EXPECT_EQ(Narrow(records[29].text), "Item 6");
  const auto& more = tree.At(extra);
  EXPECT_TRUE(more[6].ownerDrawn);
  EXPECT_FALSE(more[7].ownerDrawn);
  EXPECT_EQ(more[7].data, nullptr);
  EXPECT_FALSE(tree.At(root).back().ownerDrawn);
  // A further conversion into the full table changes nothing.
  EXPECT_EQ(records.Convert(tree, root), 0u);
}

TEST(MenuConvert, LongTextIsCutToTheRecordAndSeparatorsKeepKindZero) {
  FakeMenuTree tree;
  const MenuHandle menu = tree.NewMenu();
  tree.Add(menu, std::string(5000, 'x'), 7);
  tree.Add(menu, "", 0);
  MenuRecords records;
  records.Convert(tree, menu);
  EXPECT_EQ(records[0].text.size(), kMenuTextCapacity);
  EXPECT_EQ(records[1].kind, kMenuKindSeparator);
}

TEST(MenuMeasure, EightPixelsPerCharacterTwentyHighSeparatorOne) {
  const struct {
    const char* text;
    int32_t kind;
    MenuItemSize size;
  } cases[] = {
      {"Modify Delay", 32780, {96, 20}},
      {"Down ", 32802, {40, 20}},
      {"Add Forward", -1, {88, 20}},
      {"", 0, {0, 1}},
      {"", 5, {0, 20}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MeasureMenuItem({Widen(c.text), c.kind}), c.size) << c.text;
  }
  // Characters, not bytes: "Botão Esquerdo" is 14 characters.
  EXPECT_EQ(MeasureMenuItem({u"Bot\u00e3o Esquerdo", -1}).width, 112u);
}

TEST(MenuResources, RoleAndLanguageChooseTheResource) {
  EXPECT_EQ(MenuResourceId(MenuRole::MacroContext, 1), 154);
  EXPECT_EQ(MenuResourceId(MenuRole::Tray, 1), 157);
  EXPECT_EQ(MenuResourceId(MenuRole::MacroContext, 0), 161);
  EXPECT_EQ(MenuResourceId(MenuRole::Tray, 0), 162);
  // Any non-zero flag is English.
  EXPECT_EQ(MenuResourceId(MenuRole::Tray, 200), IDR_MENU_TRAY_EN);
}

}  // namespace
}  // namespace nuv::test
