// The function popups as real windows: a second-level choice stores its code
// and closes both levels, and hundreds of openings leave no handle or GDI
// object behind.
#include <gtest/gtest.h>

#include "platform/win32/win32_picture.h"
#include "skin_test_support.h"
#include "winapp/function_dialogs.h"

namespace nuv {
namespace {

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

struct PopupFixture {
  PopupFixture() {
    ResetToFactory(profile);
    names[10] = u"Eleven";
    owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            nullptr, nullptr);
    canvas.SetSkinFolder(folder);
  }
  ~PopupFixture() { DestroyWindow(owner); }

  // Opens the first level for button 2 (button 1 keeps the primary click: no
  // warning) and hovers the first group row: the repaint opens its level.
  HWND OpenSecondLevel(win32::FunctionChooser& chooser) {
    chooser.Open(2, 50, 50);
    HWND first = FindWindowW(nullptr, L"MainMenuDlg");
    if (!first) return nullptr;
    SendMessageW(first, WM_MOUSEMOVE, 0, MAKELPARAM(20, 6 * 28 + 5));
    UpdateWindow(first);
    Pump();
    return OwnedBy(first);
  }

  static HWND OwnedBy(HWND owner) {
    struct Search {
      HWND owner;
      HWND found = nullptr;
    } search{owner};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) {
          auto* s = reinterpret_cast<Search*>(data);
          if (GetWindow(window, GW_OWNER) != s->owner) return TRUE;
          s->found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  Text folder = test::ShippedSkinFolder();
  win32::GdiplusPictures pictures;
  win32::GdiCanvas canvas{pictures};
  MouseProfile profile;
  MacroStore macros;
  FunctionNameTable names;
  WarningSkinTable warning;
  AtomicField<int32_t> language{1};
  DisplayScale scale;
  win32::PopupContext context{pictures, folder,  canvas,   profile, macros,
                              names,    warning, language, scale};
  HWND owner = nullptr;
};

TEST(FunctionPopups, SecondLevelChoiceStoresItsCodeAndClosesBothLevels) {
  PopupFixture f;
  win32::FunctionChooser chooser(f.context, f.owner);
  HWND second = f.OpenSecondLevel(chooser);
  ASSERT_NE(second, nullptr);
  // Row 1 of the mouse-function group: code 11.
  SendMessageW(second, WM_MOUSEMOVE, 0, MAKELPARAM(20, 5));
  SendMessageW(second, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
  SendMessageW(second, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
  Pump();
  EXPECT_EQ(f.profile.buttons[1], 11);
  EXPECT_EQ(FindWindowW(nullptr, L"MainMenuDlg"), nullptr);
  EXPECT_FALSE(IsWindow(second));
  EXPECT_FALSE(chooser.IsOpen() && FindWindowW(nullptr, L"MainMenuDlg"));
}

TEST(FunctionPopups, HundredsOfOpeningsLeaveNoWindowObjectOrGdiObject) {
  PopupFixture f;
  win32::FunctionChooser chooser(f.context, f.owner);
  const auto threadWindows = [] {
    int n = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND, LPARAM count) {
          ++*reinterpret_cast<int*>(count);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
  };
  // Wine answers 0 for both counts; on Windows they catch a leak.
  const auto gdiObjects = [] { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); };
  const auto handles = [] {
    DWORD n = 0;
    GetProcessHandleCount(GetCurrentProcess(), &n);
    return n;
  };
  for (int i = 0; i < 5; ++i) {  // the canvas's pictures and buffers settle
    f.OpenSecondLevel(chooser);
    chooser.Close();
  }
  Pump();
  const int windows = threadWindows();
  const DWORD gdi = gdiObjects();
  const DWORD handleCount = handles();
  for (int i = 0; i < 300; ++i) {
    ASSERT_NE(f.OpenSecondLevel(chooser), nullptr) << i;
    EXPECT_EQ(chooser.LiveObjects(), 2u);
    chooser.Close();
    EXPECT_EQ(chooser.LiveObjects(), 0u);
  }
  Pump();
  EXPECT_EQ(threadWindows(), windows);
  EXPECT_LE(gdiObjects(), gdi + 4);
  EXPECT_LE(handles(), handleCount + 4);
}

}  // namespace
}  // namespace nuv
