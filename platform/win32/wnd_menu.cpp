#include "platform/win32/wnd_menu.h"

namespace nuv::win32 {

Menu::~Menu() { Destroy(); }

bool Menu::Load(UINT id) {
  Destroy();
  menu_ = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
  return menu_ != nullptr;
}

void Menu::Destroy() {
  if (menu_) DestroyMenu(menu_);
  menu_ = nullptr;
}

HMENU Menu::SubMenu(int index) const { return menu_ ? GetSubMenu(menu_, index) : nullptr; }

void Menu::TrackPopup(int index, UINT flags, POINT at, HWND owner) const {
  if (HMENU popup = SubMenu(index)) TrackPopupMenu(popup, flags, at.x, at.y, 0, owner, nullptr);
}

}  // namespace nuv::win32
