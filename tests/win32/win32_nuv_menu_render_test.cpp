// The two menus drawn as the user sees them: once item by item into a bitmap
// with the system's menu font (the cascade of the macro context menu opened to
// its deepest level), and once as a real pop-up tracked by the window system,
// which measures and draws every item through CNuvMenu. With NUV_MENU_SHOTS set
// to a folder, the pictures are saved there as BMP files to be looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/win32/win32_nuv_menu.h"
#include "win32/win32_menu_bitmap.h"

namespace nuv::test {
namespace {

using win32::CNuvMenu;

void SaveShot(const MenuBitmap& bitmap, const char* name) {
  if (const char* folder = std::getenv("NUV_MENU_SHOTS")) bitmap.Save(std::string(folder) + "\\" + name);
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
// item, the owner forwards to CNuvMenu, and what reaches the screen is copied
// before the menu is closed.
struct PopupRun {
  const CNuvMenu* menu = nullptr;
  int measured = 0;
  int drawn = 0;
  int idles = 0;
  HWND menuWindow = nullptr;
  RECT menuRect{};
  MenuBitmap* shot = nullptr;
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
        ++g_run->idles;
        HWND popup = reinterpret_cast<HWND>(lParam);
        if (!popup) popup = FindWindowW(L"#32768", nullptr);
        if (g_run->idles == 1 && popup) {
          // Select the second item, as the pointer would.
          PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
          PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
        } else if (g_run->idles >= 2 || !popup) {
          if (popup && !g_run->menuWindow) {
            g_run->menuWindow = popup;
            UpdateWindow(popup);
            GetWindowRect(popup, &g_run->menuRect);
            HDC screen = GetDC(nullptr);
            BitBlt(g_run->shot->dc(), 0, 0, g_run->shot->width(), g_run->shot->height(), screen,
                   g_run->menuRect.left, g_run->menuRect.top, SRCCOPY);
            ReleaseDC(nullptr, screen);
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

TEST(Win32NuvMenuRender, TrackedTrayMenuIsMeasuredAndDrawnThroughTheMenu) {
  CNuvMenu tray;
  ASSERT_TRUE(tray.LoadForLanguage(MenuRole::Tray, 1));
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = PopupOwnerProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"NuvMenuTestOwner";
  RegisterClassW(&windowClass);
  HWND owner = CreateWindowExW(0, L"NuvMenuTestOwner", L"menu owner", WS_POPUP | WS_VISIBLE, 200, 200,
                               40, 40, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!owner) GTEST_SKIP() << "no display for windows";
  MenuBitmap shot(200, 60);
  PopupRun run;
  run.menu = &tray;
  run.shot = &shot;
  g_run = &run;
  SetTimer(owner, 1, 5000, nullptr);
  SetForegroundWindow(owner);
  tray.TrackPopup(owner, {300, 300}, TPM_LEFTALIGN | TPM_LEFTBUTTON);
  KillTimer(owner, 1);
  DestroyWindow(owner);
  g_run = nullptr;

  EXPECT_GE(run.measured, 2);
  EXPECT_GE(run.drawn, 2);
  ASSERT_NE(run.menuWindow, nullptr) << run.idles << " idle messages";
  SaveShot(shot, "tray_popup.bmp");
  // Somewhere on the pop-up there is the item fill and the selected gradient.
  int fill = 0, blue = 0;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      fill += shot.At(x, y) == RGB(0, 120, 153);
      blue += shot.At(x, y) == RGB(0, 0, 255);
    }
  }
  EXPECT_GT(fill, 100);
  EXPECT_GT(blue, 20);
}

}  // namespace
}  // namespace nuv::test
