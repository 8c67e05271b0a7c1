// The two menus drawn as the user sees them: once item by item into a bitmap
// with the system's menu font (the cascade of the macro context menu opened to
// its deepest level), and once as a real pop-up tracked by the window system,
// which measures and draws every item through CNuvMenu. With NUV_MENU_SHOTS set
// to a folder, the pictures are saved there as BMP files to be looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/win32/menu_bitmap.h"
#include "winapp/nuv_menu.h"

namespace nuv::test {
namespace {

using win32::CNuvMenu;

void SaveShot(const MenuBitmap& bitmap, const char* name) {
  if (const char* folder = std::getenv("NUV_MENU_SHOTS"))
    bitmap.Save(std::string(folder) + "\\" + name);
}

ULONG_PTR ItemData(HMENU menu, int position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_DATA;
  GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
  return info.dwItemData;
}

SIZE PanelSize(const CNuvMenu& owner, HMENU menu) {
  SIZE size{0, 0};
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemData = ItemData(menu, i);
    EXPECT_TRUE(owner.MeasureItem(&measure));
    size.cx = std::max<LONG>(size.cx, static_cast<LONG>(measure.itemWidth));
    size.cy += static_cast<LONG>(measure.itemHeight);
  }
  return size;
}

// Draws one pop-up's items below each other from (x, y), item `selected`
// highlighted; returns the panel's rectangle.
RECT DrawPanel(MenuBitmap& bitmap, const CNuvMenu& owner, HMENU menu, int x, int y, int selected) {
  const SIZE size = PanelSize(owner, menu);
  int top = y;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemData = ItemData(menu, i);
    owner.MeasureItem(&measure);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = i == selected ? ODS_SELECTED : 0;
    draw.hDC = bitmap.dc();
    draw.rcItem = {x, top, x + size.cx, top + static_cast<LONG>(measure.itemHeight)};
    draw.itemData = measure.itemData;
    EXPECT_TRUE(owner.DrawItem(&draw));
    top += static_cast<LONG>(measure.itemHeight);
  }
  return {x, y, x + size.cx, y + size.cy};
}

HFONT MenuFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  return CreateFontIndirectW(&metrics.lfMenuFont);
}

void RenderBothMenus(int32_t uiLanguage, const char* name) {
  CNuvMenu context, tray;
  ASSERT_TRUE(context.LoadForLanguage(MenuRole::MacroContext, uiLanguage));
  ASSERT_TRUE(tray.LoadForLanguage(MenuRole::Tray, uiLanguage));
  MenuBitmap bitmap(560, 170);
  HFONT font = MenuFont();
  HGDIOBJ oldFont = SelectObject(bitmap.dc(), font);

  // The tray menu with its second item under the pointer.
  const RECT trayPanel = DrawPanel(bitmap, tray, tray.GetSubMenu(0), 10, 10, 1);
  // The context menu opened along "Add Backward" > "Mid Button" > its up item.
  HMENU level0 = context.GetSubMenu(0);
  const RECT p0 = DrawPanel(bitmap, context, level0, 10, 70, 1);
  HMENU level1 = GetSubMenu(level0, 1);
  const RECT p1 = DrawPanel(bitmap, context, level1, p0.right + 2, p0.top + 20, 2);
  HMENU level2 = GetSubMenu(level1, 2);
  const RECT p2 = DrawPanel(bitmap, context, level2, p1.right + 2, p1.top + 40, 1);
  SelectObject(bitmap.dc(), oldFont);
  DeleteObject(font);
  SaveShot(bitmap, name);

  // Plain items are filled, the selected ones framed around a blue-to-cyan fall.
  EXPECT_TRUE(bitmap.At(trayPanel.left, trayPanel.top) == RGB(0, 120, 153));
  EXPECT_TRUE(bitmap.At(trayPanel.left + 1, trayPanel.top + 21) == RGB(0, 0, 255));
  EXPECT_TRUE(bitmap.At(trayPanel.left + 1, trayPanel.top + 38) == RGB(0, 238, 255));
  EXPECT_EQ(p0.bottom - p0.top, 4 * 20);
  EXPECT_EQ(p1.bottom - p1.top, 3 * 20);
  EXPECT_EQ(p2.bottom - p2.top, 2 * 20);
  EXPECT_TRUE(bitmap.At(p2.right - 2, p2.top + 21) == RGB(0, 0, 255));
}

TEST(Win32NuvMenuRender, BothMenusInEnglish) { RenderBothMenus(1, "menus_en.bmp"); }
TEST(Win32NuvMenuRender, BothMenusInTheSecondLanguage) { RenderBothMenus(0, "menus_cn.bmp"); }

// A real pop-up: the window system asks the owner to measure and draw each
// item, the owner forwards to CNuvMenu, keys move the selection as the user
// would, and what reaches the screen is copied before the menu is closed.
struct PopupRun {
  const CNuvMenu* menu = nullptr;
  std::vector<WPARAM> keys;
  MenuBitmap* shot = nullptr;
  int measured = 0;
  int drawn = 0;
  int idles = 0;
  bool captured = false;
};
PopupRun* g_run = nullptr;

LRESULT CALLBACK PopupOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MEASUREITEM:
      if (wParam == 0 && g_run->menu->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam))) {
        ++g_run->measured;
        return TRUE;
      }
      break;
    case WM_DRAWITEM:
      if (wParam == 0 && g_run->menu->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam))) {
        ++g_run->drawn;
        return TRUE;
      }
      break;
    case WM_ENTERIDLE:
      if (wParam == MSGF_MENU) {
        HWND popup = reinterpret_cast<HWND>(lParam);
        if (!popup) popup = FindWindowW(L"#32768", nullptr);
        if (++g_run->idles == 1 && popup) {
          for (WPARAM key : g_run->keys) PostMessageW(popup, WM_KEYDOWN, key, 0);
        } else {
          if (popup && !g_run->captured) {
            // From the top-left corner of all open pop-ups (the sub-menus open to
            // the right and below the first).
            RECT rect{};
            GetWindowRect(popup, &rect);
            for (HWND open = nullptr; (open = FindWindowExW(nullptr, open, L"#32768", nullptr));) {
              RECT other{};
              if (!IsWindowVisible(open) || !GetWindowRect(open, &other)) continue;
              rect.left = std::min(rect.left, other.left);
              rect.top = std::min(rect.top, other.top);
            }
            HDC screen = GetDC(nullptr);
            BitBlt(g_run->shot->dc(), 0, 0, g_run->shot->width(), g_run->shot->height(), screen,
                   rect.left, rect.top, SRCCOPY);
            ReleaseDC(nullptr, screen);
            g_run->captured = true;
          }
          EndMenu();
        }
      }
      break;
    case WM_TIMER:
      EndMenu();  // never leave a menu open if the idle messages stop coming
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int CountPixels(const MenuBitmap& shot, COLORREF colour) {
  int count = 0;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) count += shot.At(x, y) == colour;
  }
  return count;
}

// Tracks sub-menu 0 of `menu` at a fixed place, presses `keys` in it, copies
// the screen there into `shot` and closes it. False if windows cannot be made.
bool TrackAndCapture(const CNuvMenu& menu, std::vector<WPARAM> keys, MenuBitmap& shot,
                     PopupRun& run) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = PopupOwnerProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"NuvMenuTestOwner";
  RegisterClassW(&windowClass);
  HWND owner = CreateWindowExW(0, L"NuvMenuTestOwner", L"menu owner", WS_POPUP | WS_VISIBLE, 100,
                               100, 40, 40, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!owner) return false;
  run.menu = &menu;
  run.keys = std::move(keys);
  run.shot = &shot;
  g_run = &run;
  SetTimer(owner, 1, 5000, nullptr);
  SetForegroundWindow(owner);
  menu.TrackPopup(owner, {300, 200}, TPM_LEFTALIGN | TPM_RIGHTBUTTON);
  KillTimer(owner, 1);
  DestroyWindow(owner);
  g_run = nullptr;
  return true;
}

TEST(Win32NuvMenuRender, TrackedTrayMenuIsMeasuredAndDrawnThroughTheMenu) {
  CNuvMenu tray;
  ASSERT_TRUE(tray.LoadForLanguage(MenuRole::Tray, 1));
  MenuBitmap shot(200, 60);
  PopupRun run;
  if (!TrackAndCapture(tray, {VK_DOWN, VK_DOWN}, shot, run))
    GTEST_SKIP() << "no display for windows";
  EXPECT_GE(run.measured, 2);
  EXPECT_GE(run.drawn, 2);
  ASSERT_TRUE(run.captured) << run.idles << " idle messages";
  SaveShot(shot, "tray_popup.bmp");
  // Two items of 20 rows: one filled, one framed around an 18-row gradient.
  EXPECT_GT(CountPixels(shot, RGB(0, 120, 153)), 18 * 80);
  EXPECT_GT(CountPixels(shot, RGB(0, 0, 255)), 80);
  EXPECT_GT(CountPixels(shot, RGB(0, 238, 255)), 80);
}

TEST(Win32NuvMenuRender, TrackedContextMenuOpensItsSubMenusOwnerDrawn) {
  for (int32_t language : {1, 0}) {
    CNuvMenu context;
    ASSERT_TRUE(context.LoadForLanguage(MenuRole::MacroContext, language));
    MenuBitmap shot(480, 160);
    PopupRun run;
    // "Add Backward" > "Mid Button" > the up item.
    const std::vector<WPARAM> keys = {VK_DOWN, VK_DOWN,  VK_RIGHT, VK_DOWN,
                                      VK_DOWN, VK_RIGHT, VK_DOWN};
    if (!TrackAndCapture(context, keys, shot, run)) GTEST_SKIP() << "no display for windows";
    ASSERT_TRUE(run.captured) << run.idles << " idle messages";
    SaveShot(shot, language ? "context_popup_en.bmp" : "context_popup_cn.bmp");
    // The three levels were measured (4 + 3 + 2 items) and each shows one
    // selected item: three gradients.
    EXPECT_GE(run.measured, 9);
    EXPECT_GE(run.drawn, 9);
    EXPECT_GT(CountPixels(shot, RGB(0, 0, 255)), 3 * 30);
    EXPECT_GT(CountPixels(shot, RGB(0, 238, 255)), 3 * 30);
  }
}

}  // namespace
}  // namespace nuv::test
