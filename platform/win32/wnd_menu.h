// The window framework, part 4: menus loaded from resources, shown as pop-ups,
// with owner-drawn items drawn and measured by the menu object.
//
// A dialog serves the owner-drawn items of its menus by handing WM_DRAWITEM and
// WM_MEASUREITEM with control type ODT_MENU to the menu set with
// Dialog::SetOwnerDrawMenu, whose DrawItem and MeasureItem a derived menu class
// overrides. The items carry whatever data the derived class gave them.
#pragma once

#include <windows.h>

namespace nuv::win32 {

class Menu {
 public:
  Menu() = default;
  virtual ~Menu();
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;

  HMENU handle() const { return menu_; }
  // Replaces the menu by menu resource `id` of the program; false if absent.
  bool Load(UINT id);
  void Destroy();
  // Pop-up number `index` of the menu bar (the holder of a pop-up resource).
  HMENU SubMenu(int index) const;
  // Shows pop-up `index` at a screen point; commands go to `owner` as WM_COMMAND.
  void TrackPopup(int index, UINT flags, POINT at, HWND owner) const;

  // Owner-drawn items; false when the item is not one of this menu's kind.
  virtual bool DrawItem(DRAWITEMSTRUCT&) { return false; }
  virtual bool MeasureItem(MEASUREITEMSTRUCT&) { return false; }

 protected:
  HMENU menu_ = nullptr;
};

}  // namespace nuv::win32
