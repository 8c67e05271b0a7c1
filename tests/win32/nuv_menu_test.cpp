// The menu resources and CNuvMenu against the real Win32 menus (under Wine):
// exact texts and identifiers in both languages, conversion to owner-drawn items,
// the measure and draw answers, and the menus drawn by GDI as the user sees them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_text.h"
#include "res/menu_ids.h"
#include "tests/win32/menu_bitmap.h"
#include "winapp/nuv_menu.h"

namespace nuv::test {
namespace {

using win32::CNuvMenu;

struct Node {
  Text text;
  int32_t id = 0;
  std::vector<Node> children;
  bool operator==(const Node&) const = default;
};

void PrintTo(const Node& node, std::ostream* os) {
  *os << '"' << Narrow(node.text) << "\" " << node.id;
  if (!node.children.empty()) {
    *os << " {";
    for (const Node& child : node.children) {
      PrintTo(child, os);
      *os << "; ";
    }
    *os << "}";
  }
}

std::vector<Node> Describe(HMENU menu) {
  std::vector<Node> nodes;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[256] = {};
    const int length = GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
    Node node{win32::FromW(text, static_cast<size_t>(length)),
              static_cast<int32_t>(GetMenuItemID(menu, i)),
              {}};
    if (HMENU sub = GetSubMenu(menu, i)) node.children = Describe(sub);
    nodes.push_back(node);
  }
  return nodes;
}

Node Leaf(const Text& text, int32_t id) { return {text, id, {}}; }

std::vector<Node> MacroMenu(const std::vector<Text>& inserts, const std::vector<Text>& buttons,
                            const std::vector<Text>& downs, const Text& up,
                            const std::vector<int32_t>& ids, const Text& modify, int32_t modifyId,
                            const Text& remove, int32_t removeId) {
  std::vector<Node> menu;
  size_t next = 0;
  for (const Text& insert : inserts) {
    Node insertNode{insert, -1, {}};
    for (size_t b = 0; b < buttons.size(); ++b) {
      Node button{buttons[b], -1, {}};
      button.children.push_back(Leaf(downs[b], ids[next++]));
      button.children.push_back(Leaf(up, ids[next++]));
      insertNode.children.push_back(button);
    }
    menu.push_back(insertNode);
  }
  menu.push_back(Leaf(modify, modifyId));
  menu.push_back(Leaf(remove, removeId));
  return menu;
}

std::vector<Node> ExpectedShownMenu(UINT resource) {
  switch (resource) {
    case IDR_MENU_TRAY_EN:
      return {Leaf(u"Show Window", 32801), Leaf(u"Exit Driver", 32800)};
    case IDR_MENU_TRAY_CN:
      return {Leaf(u"Mostrar Janela ", 32837), Leaf(u"Sair do Driver", 32838)};
    case IDR_MENU_MACRO_EN:
      return MacroMenu(
          {u"Add Forward", u"Add Backward"}, {u"Left Button", u"Right Button", u"Mid Button"},
          {u"Down ", u"Down", u"Down"}, u"Up",
          {32802, 32803, 32804, 32805, 32806, 32807, 32809, 32810, 32811, 32812, 32813, 32814},
          u"Modify Delay", 32780, u"Delete", 32781);
    case IDR_MENU_MACRO_CN:
      return MacroMenu(
          {u"Adicionar Adiante  ", u"Adicionar Retroceder "},
          {u"Bot\u00e3o Esquerdo", u"Bot\u00e3o Direito", u"Bot\u00e3o do Meio"},
          {u"Para baixo ", u"Para baixo ", u"Para baixo "}, u"Para cima",
          {32817, 32818, 32820, 32821, 32823, 32824, 32829, 32830, 32831, 32832, 32833, 32834},
          u"Modificar Espera", 32835, u"Apagar", 32836);
  }
  return {};
}

constexpr UINT kAllMenus[] = {IDR_MENU_MACRO_EN, IDR_MENU_TRAY_EN, IDR_MENU_MACRO_CN,
                              IDR_MENU_TRAY_CN};

TEST(Win32NuvMenu, ResourcesHoldTheExactTextsAndIdentifiers) {
  for (UINT resource : kAllMenus) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource));
    ASSERT_NE(menu, nullptr) << resource;
    // One outer holder whose sub-menu is the menu shown.
    ASSERT_EQ(GetMenuItemCount(menu), 1) << resource;
    EXPECT_EQ(Describe(GetSubMenu(menu, 0)), ExpectedShownMenu(resource)) << resource;
    DestroyMenu(menu);
  }
}

// Every item below `menu` is owner-drawn with a record of `owner` that repeats
// its text and identifier, and the items that opened a sub-menu still do.
void ExpectOwnerDrawn(HMENU menu, const std::vector<Node>& expected, const CNuvMenu& owner,
                      size_t& next) {
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | MIIM_SUBMENU;
    ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    ASSERT_LT(next, owner.RecordCount());
    const MenuItemRecord& record = owner.Record(next++);
    EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(&record));
    EXPECT_EQ(record.text, expected[i].text);
    EXPECT_EQ(record.kind, expected[i].id);
    if (expected[i].children.empty()) {
      EXPECT_EQ(info.hSubMenu, nullptr);
      EXPECT_EQ(static_cast<int32_t>(info.wID), expected[i].id);
    } else {
      ASSERT_NE(info.hSubMenu, nullptr);
      ExpectOwnerDrawn(info.hSubMenu, expected[i].children, owner, next);
    }
  }
}

TEST(Win32NuvMenu, LoadingConvertsEveryShownItemDepthFirst) {
  CNuvMenu menu;
  for (UINT resource : kAllMenus) {
    ASSERT_TRUE(menu.LoadMenu(resource)) << resource;
    const bool macro = resource == IDR_MENU_MACRO_EN || resource == IDR_MENU_MACRO_CN;
    EXPECT_EQ(menu.RecordCount(), macro ? 22u : 2u);
    size_t next = 0;
    ExpectOwnerDrawn(menu.GetSubMenu(0), ExpectedShownMenu(resource), menu, next);
    EXPECT_EQ(next, menu.RecordCount());
  }
  EXPECT_FALSE(menu.LoadMenu(4711));
  EXPECT_EQ(menu.GetSafeHmenu(), nullptr);
  EXPECT_EQ(menu.RecordCount(), 0u);
}

TEST(Win32NuvMenu, LanguageChoosesTheMenus) {
  CNuvMenu context, tray;
  ASSERT_TRUE(tray.LoadForLanguage(MenuRole::Tray, 1));
  EXPECT_EQ(tray.Record(1).text, u"Exit Driver");
  EXPECT_EQ(tray.Record(1).kind, ID_TRAY_EXIT_EN);
  ASSERT_TRUE(tray.LoadForLanguage(MenuRole::Tray, 0));
  EXPECT_EQ(tray.RecordCount(), 2u);
  EXPECT_EQ(tray.Record(1).text, u"Sair do Driver");
  EXPECT_EQ(tray.Record(1).kind, ID_TRAY_EXIT_CN);
  ASSERT_TRUE(context.LoadForLanguage(MenuRole::MacroContext, 0));
  EXPECT_EQ(context.Record(1).text, u"Bot\u00e3o Esquerdo");
}

TEST(Win32NuvMenu, ProcessMenusSwitchLanguageAndReleaseTheOldMenus) {
  ASSERT_TRUE(win32::LoadNuvMenus(1));
  HMENU oldTray = win32::TrayMenu().GetSafeHmenu();
  EXPECT_EQ(win32::MacroContextMenu().RecordCount(), 22u);
  EXPECT_EQ(win32::MacroContextMenu().Record(21).text, u"Delete");
  ASSERT_TRUE(win32::LoadNuvMenus(0));
  EXPECT_FALSE(IsMenu(oldTray));
  EXPECT_EQ(win32::MacroContextMenu().RecordCount(), 22u);
  EXPECT_EQ(win32::MacroContextMenu().Record(21).text, u"Apagar");
  EXPECT_EQ(win32::TrayMenu().Record(0).text, u"Mostrar Janela ");
  // The tray instance measures the context menu's items.
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_MENU;
  measure.itemData = reinterpret_cast<ULONG_PTR>(&win32::MacroContextMenu().Record(1));
  ASSERT_TRUE(win32::TrayMenu().MeasureItem(&measure));
  EXPECT_EQ(measure.itemWidth, 8u * 14);
}

TEST(Win32NuvMenu, MeasureAnswersOnlyForOurMenuItems) {
  CNuvMenu context, tray;
  ASSERT_TRUE(context.LoadForLanguage(MenuRole::MacroContext, 1));
  ASSERT_TRUE(tray.LoadForLanguage(MenuRole::Tray, 1));
  const MenuItemRecord& modify = context.Record(20);
  ASSERT_EQ(modify.text, u"Modify Delay");

  const struct {
    UINT type;
    ULONG_PTR data;
    bool answered;
    UINT width, height;
  } cases[] = {
      // The tray instance answers for the context menu's items too.
      {ODT_MENU, reinterpret_cast<ULONG_PTR>(&modify), true, 96, 20},
      {ODT_MENU, reinterpret_cast<ULONG_PTR>(&tray.Record(0)), true, 88, 20},
      {ODT_MENU, 0, false, 7, 9},
      {ODT_MENU, reinterpret_cast<ULONG_PTR>(&cases), false, 7, 9},
      {ODT_LISTBOX, reinterpret_cast<ULONG_PTR>(&modify), false, 7, 9},
  };
  for (const auto& c : cases) {
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = c.type;
    measure.itemData = c.data;
    measure.itemWidth = 7;
    measure.itemHeight = 9;
    EXPECT_EQ(tray.MeasureItem(&measure), c.answered);
    EXPECT_EQ(measure.itemWidth, c.width);
    EXPECT_EQ(measure.itemHeight, c.height);
  }
  EXPECT_FALSE(tray.MeasureItem(nullptr));
}

DRAWITEMSTRUCT MenuDraw(HDC dc, const MenuItemRecord* record, RECT rect, bool selected) {
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_MENU;
  draw.itemAction = ODA_DRAWENTIRE;
  draw.itemState = selected ? ODS_SELECTED : 0;
  draw.hDC = dc;
  draw.rcItem = rect;
  draw.itemData = reinterpret_cast<ULONG_PTR>(record);
  return draw;
}

TEST(Win32NuvMenu, DrawingGivesTheFillTheGradientAndTheText) {
  CNuvMenu menu;
  ASSERT_TRUE(menu.LoadForLanguage(MenuRole::MacroContext, 1));
  MenuBitmap bitmap(120, 40);
  DRAWITEMSTRUCT plain = MenuDraw(bitmap.dc(), &menu.Record(20), {0, 0, 120, 20}, false);
  DRAWITEMSTRUCT selected = MenuDraw(bitmap.dc(), &menu.Record(21), {0, 20, 120, 40}, true);
  ASSERT_TRUE(menu.DrawItem(&plain));
  ASSERT_TRUE(menu.DrawItem(&selected));

  EXPECT_EQ(bitmap.At(0, 0), RGB(0, 120, 153));
  EXPECT_EQ(bitmap.At(119, 19), RGB(0, 120, 153));
  for (int row = 0; row < 18; ++row) {
    EXPECT_EQ(bitmap.At(1, 21 + row), RGB(0, 14 * row, 255)) << row;
    EXPECT_EQ(bitmap.At(118, 21 + row), RGB(0, 14 * row, 255)) << row;
  }
  // White text somewhere from 10 pixels in, nothing of it before.
  auto whiteIn = [&](int x0, int x1, int y0, int y1) {
    int white = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) white += bitmap.At(x, y) == RGB(255, 255, 255);
    return white;
  };
  EXPECT_GT(whiteIn(10, 119, 0, 20), 10);
  EXPECT_EQ(whiteIn(0, 10, 0, 20), 0);
  EXPECT_GT(whiteIn(10, 119, 21, 39), 10);
  // The context keeps its own modes afterwards.
  EXPECT_EQ(GetBkMode(bitmap.dc()), OPAQUE);
}

TEST(Win32NuvMenu, ForeignItemsAreNotDrawn) {
  CNuvMenu menu;
  ASSERT_TRUE(menu.LoadForLanguage(MenuRole::Tray, 1));
  MenuBitmap bitmap(60, 20);
  MenuItemRecord stranger{u"Not ours", 5};
  DRAWITEMSTRUCT foreign = MenuDraw(bitmap.dc(), &stranger, {0, 0, 60, 20}, false);
  DRAWITEMSTRUCT empty = MenuDraw(bitmap.dc(), nullptr, {0, 0, 60, 20}, false);
  DRAWITEMSTRUCT button = MenuDraw(bitmap.dc(), &menu.Record(0), {0, 0, 60, 20}, false);
  button.CtlType = ODT_BUTTON;
  EXPECT_FALSE(menu.DrawItem(&foreign));
  EXPECT_FALSE(menu.DrawItem(&empty));
  EXPECT_FALSE(menu.DrawItem(&button));
  EXPECT_FALSE(menu.DrawItem(nullptr));
  EXPECT_EQ(bitmap.At(30, 10), RGB(255, 255, 255));
  // Records of a menu that is gone are no longer recognised.
  const MenuItemRecord* old = nullptr;
  {
    CNuvMenu gone;
    ASSERT_TRUE(gone.LoadForLanguage(MenuRole::Tray, 1));
    old = &gone.Record(0);
    EXPECT_EQ(CNuvMenu::RecordFromItemData(reinterpret_cast<ULONG_PTR>(old)), old);
  }
  EXPECT_EQ(CNuvMenu::RecordFromItemData(reinterpret_cast<ULONG_PTR>(old)), nullptr);
}

}  // namespace
}  // namespace nuv::test
