// A window's accessible object as a screen reader reaches it: through
// WM_GETOBJECT and oleacc, at a 150 % display scale.
#include <gtest/gtest.h>
#include <ole2.h>
#include <oleacc.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_accessible.h"
#include "platform/win32/win32_text.h"
#include "ui/nuv_menu.h"

namespace nuv {
namespace {

using Role = AccessibleRole;
namespace st = access_state;

// The face's items beside what a client must be told of them.
const struct Row {
  LONG role;
  LONG state;
  AccessibleItem item;
} kRows[] = {
    {ROLE_SYSTEM_CLIENT,
     STATE_SYSTEM_FOCUSABLE,
     {u"Face", {}, st::kNone, u"", u"", {}}},  // the window
    {ROLE_SYSTEM_PUSHBUTTON,
     STATE_SYSTEM_FOCUSABLE,
     {u"Apply", Role::kPushButton, st::kFocusable, u"", u"Press", {10, 21, 30, 11}}},
    {ROLE_SYSTEM_CHECKBUTTON,
     STATE_SYSTEM_CHECKED | STATE_SYSTEM_HASPOPUP,
     {u"Loop", Role::kCheckBox, st::kChecked | st::kHasPopup, u"", u"Check", {50, 0, 20, 20}}},
    {ROLE_SYSTEM_SLIDER,
     STATE_SYSTEM_UNAVAILABLE,
     {u"Delay", Role::kSlider, st::kUnavailable, u"50ms", u"", {0, 40, 100, 20}}},
};

struct ThreeItems final : AccessibleFace {
  size_t ItemCount() const override { return 3; }
  AccessibleItem Item(size_t i) const override {
    return i < 3 ? kRows[i + 1].item : AccessibleItem{};
  }
  std::optional<size_t> FocusedItem() const override { return 1; }
  void DoDefaultAction(size_t i) override { actions += std::to_string(i); }
  void TakeFocus(size_t) override {}
  std::string actions;
};

win32::AccessibleServer* server = nullptr;

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  win32::WndMessage m{hwnd, message, wParam, lParam};
  if (message == WM_GETOBJECT && server && server->OnGetObject(m)) return m.result;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

VARIANT Child(LONG id, VARTYPE type = VT_I4) {
  VARIANT v{};
  v.vt = type;
  v.lVal = id;
  return v;
}

TEST(AccessibleObject, AnswersForTheFaceUntilDisconnected) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Proc;
  windowClass.lpszClassName = L"NuvAccTest";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"NuvAccTest", L"Face", WS_POPUP | WS_VISIBLE, 100, 50, 300, 200,
                                nullptr, nullptr, nullptr, nullptr);
  ThreeItems face;
  win32::AccessibleServer accessible(face, [] { return DisplayScale(144); });
  server = &accessible;
  const win32::SystemLibrary oleacc(L"oleacc.dll");
  const auto fromWindow =
      oleacc.Function<decltype(&AccessibleObjectFromWindow)>("AccessibleObjectFromWindow");
  ASSERT_NE(fromWindow, nullptr);
  IAccessible* object = nullptr;
  ASSERT_EQ(
      fromWindow(window, OBJID_CLIENT, win32::kIidAccessible, reinterpret_cast<void**>(&object)),
      S_OK);

  LONG count = 0;
  EXPECT_TRUE(object->get_accChildCount(&count) == S_OK && count == 3);
  for (LONG id = CHILDID_SELF; id <= 3; ++id) {
    const Row& row = kRows[id];
    BSTR name = nullptr;
    VARIANT role{}, state{};
    EXPECT_EQ(object->get_accName(Child(id), &name), S_OK);
    EXPECT_EQ(win32::FromW(name), row.item.name);
    SysFreeString(name);
    EXPECT_EQ(object->get_accRole(Child(id), &role), S_OK);
    EXPECT_EQ(role.lVal, row.role) << id;
    EXPECT_EQ(object->get_accState(Child(id), &state), S_OK);
    EXPECT_EQ(state.lVal & ~STATE_SYSTEM_FOCUSED, row.state) << id;
  }
  // A VARIANT that is no child id, or one out of range, is refused.
  BSTR none = nullptr;
  EXPECT_EQ(object->get_accName(Child(4), &none), E_INVALIDARG);
  EXPECT_EQ(object->get_accName(Child(1, VT_I2), &none), E_INVALIDARG);

  // 10,21 30x11 units at 1.5: 15,32 (halves up) to 60,48, from the client origin.
  LONG left = 0, top = 0, width = 0, height = 0;
  EXPECT_EQ(object->accLocation(&left, &top, &width, &height, Child(1)), S_OK);
  EXPECT_EQ((std::vector<LONG>{left, top, width, height}), (std::vector<LONG>{115, 82, 45, 16}));
  VARIANT hit{};
  EXPECT_EQ(object->accHitTest(100 + 75, 50 + 75, &hit), S_OK);
  EXPECT_EQ(hit.lVal, 3);

  EXPECT_EQ(object->accDoDefaultAction(Child(1)), S_OK);
  EXPECT_EQ(object->accDoDefaultAction(Child(3)), DISP_E_MEMBERNOTFOUND);  // no action
  EXPECT_EQ(face.actions, "0");

  accessible.Disconnect();
  EXPECT_EQ(object->get_accChildCount(&count), RPC_E_DISCONNECTED);
  object->Release();
  server = nullptr;
  DestroyWindow(window);
  if (SUCCEEDED(com)) CoUninitialize();
}

TEST(AccessibleObject, MenuItemDataNamesItsOwnText) {
  // What the system's menu accessibility reads from an owner-drawn item's data.
  MenuItemRecord record(u"Exit Driver", 2);
  const MenuItemRecord copy = record;
  record.SetText(u"Sair do Driver");
  for (const MenuItemRecord* r : {&std::as_const(record), &copy}) {
    const auto* info = reinterpret_cast<const MSAAMENUINFO*>(r);
    EXPECT_EQ(info->dwMSAASignature, static_cast<DWORD>(MSAA_MENU_SIG));
    EXPECT_EQ(win32::FromW(info->pszWText), r->text);
    EXPECT_EQ(info->cchWText, r->text.size());
  }
}

}  // namespace
}  // namespace nuv
