// CNuvMenu: a pop-up menu loaded from a resource whose items, sub-menus included,
// are owner-drawn in the program's blue scheme. The main window loads the macro
// context menu and the tray menu into two instances, tracks them, and forwards
// WM_MEASUREITEM and WM_DRAWITEM of menu items to one of them: any instance
// serves the items of both, since all an item needs is its record.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/display_scale.h"
#include "ui/nuv_menu.h"

namespace nuv::win32 {

class CNuvMenu {
 public:
  CNuvMenu();
  ~CNuvMenu();
  CNuvMenu(const CNuvMenu&) = delete;  // the items point at our records
  CNuvMenu& operator=(const CNuvMenu&) = delete;

  // Loads menu resource `resourceId` of `module` (the program's own when null),
  // releasing the menu held so far, and converts it: the record count starts
  // again at 0 and every item inside the outer holder pop-ups becomes
  // owner-drawn. False (and no menu held) when the resource cannot be loaded.
  bool LoadMenu(UINT resourceId, HINSTANCE module = nullptr);
  // LoadMenu of the resource of `role` in language `uiLanguage` (non-zero: English).
  bool LoadForLanguage(MenuRole role, int32_t uiLanguage, HINSTANCE module = nullptr);

  // Converts the items of `menu` and of its sub-menus, depth first, with the
  // next free records. Returns the number of items converted.
  size_t Convert(HMENU menu);

  // Gives up the menu without destroying it; the records stay as they are.
  HMENU Detach();
  // Destroys the menu held, if any.
  void DestroyMenu();

  HMENU GetSafeHmenu() const { return menu_; }
  HMENU GetSubMenu(int position) const;

  // Shows sub-menu 0 at a screen position, owned by `owner`; the chosen command
  // reaches `owner` as WM_COMMAND.
  BOOL TrackPopup(HWND owner, POINT screen, UINT flags) const;
  // The tray menu: at the cursor, after bringing the owner to the foreground,
  // left-aligned, tracking the left button.
  BOOL TrackAtCursorFromTray(HWND owner) const;
  // The macro context menu: at the cursor, tracking the right button.
  BOOL TrackAtCursorForContext(HWND owner) const;

  // Answers WM_MEASUREITEM; requests that are not for one of our menu items are
  // left unchanged. Returns true when it answered.
  bool MeasureItem(LPMEASUREITEMSTRUCT measure) const;
  // Answers WM_DRAWITEM by drawing the item; anything that is not one of our
  // menu items is not drawn. Returns true when it drew.
  bool DrawItem(LPDRAWITEMSTRUCT draw) const;

  size_t RecordCount() const { return records_.count(); }
  const MenuItemRecord& Record(size_t i) const { return records_[i]; }

  // The record behind an item's owner-draw data, if it belongs to a live
  // instance; null for data of anyone else.
  static const MenuItemRecord* RecordFromItemData(ULONG_PTR data);

 private:
  HMENU menu_ = nullptr;
  MenuRecords records_;
  // Live instances, so item data can be checked before it is used as a record.
  // Menus live on the window thread only, so the list needs no lock.
  CNuvMenu* next_ = nullptr;
  static CNuvMenu* first_;
};

// The two process-wide menus, built on first use and kept until the process
// ends. The tray instance is the one the main window forwards owner-draw
// requests to; it serves the items of both.
CNuvMenu& MacroContextMenu();
CNuvMenu& TrayMenu();

// The display scale the menus' items are measured at (the main window's).
void SetMenuScale(const DisplayScale& scale);

// Loads both menus in the language `uiLanguage` (non-zero: English), as the
// main window's initialisation and the language switch do. The menus held
// before are released. False if either resource is missing.
bool LoadNuvMenus(int32_t uiLanguage, HINSTANCE module = nullptr);

// Carries out a drawing plan on a device context.
void ExecuteMenuPlan(HDC dc, const std::vector<MenuDrawOp>& plan);

}  // namespace nuv::win32
