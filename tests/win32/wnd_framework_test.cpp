// The window framework against the real window system (Wine): message tables,
// the modal loop with its pre-translation, subclassed controls, owner-draw
// forwarding, the tray icon.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/wnd_controls.h"
#include "platform/win32/wnd_dialog.h"
#include "platform/win32/wnd_shell.h"

namespace nuv::win32 {
namespace {

// An empty popup dialog template, built in memory (the test program has no
// resources of its own).
struct EmptyTemplate {
  EmptyTemplate() {
    dlg.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    dlg.cx = 200;
    dlg.cy = 100;
  }
  alignas(4) DLGTEMPLATE dlg{};
  WORD menu = 0, windowClass = 0, title = 0;
};

constexpr UINT kEndWith = WM_APP + 1;
constexpr UINT kDestroyWith = WM_APP + 2;
constexpr UINT kEditId = 300;

class TestDialog : public Dialog {
 public:
  explicit TestDialog(const DLGTEMPLATE* t) : Dialog(t) {}

  bool filterEscape = false;
  bool destroyDuringInit = false;
  bool destroyFromAnotherThread = false;
  std::vector<WPARAM> filtered;
  std::vector<std::string> handled;
  Edit edit;

  bool OnMessage(WndMessage& m) override;
  bool PreTranslateMessage(MSG& msg) override {
    if (filterEscape && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      filtered.push_back(msg.wParam);
      return true;
    }
    return Dialog::PreTranslateMessage(msg);
  }

 protected:
  BOOL OnInitDialog() override {
    edit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{5, 5, 100, 25}, hwnd_, kEditId);
    if (destroyDuringInit) {
      DestroyWindow(hwnd_);
      return TRUE;
    }
    if (destroyFromAnotherThread) {
      // As a device removal arrives: sent from a worker, answered on this
      // thread inside GetMessage; nothing is posted afterwards.
      HWND self = hwnd_;
      std::thread([self] { SendMessageW(self, kDestroyWith, 0, 0); }).detach();
      return TRUE;
    }
    // The Escape key goes to the edit box, as a key press in a control would.
    PostMessageW(edit.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(hwnd_, kEndWith, 42, 0);
    return TRUE;
  }

 private:
  bool OnEnd(WndMessage& m) {
    handled.push_back("end");
    EndModal(static_cast<INT_PTR>(m.wParam));
    return true;
  }
  bool OnDestroyRequest(WndMessage&) {
    DestroyWindow(hwnd_);
    return true;
  }
  bool OnRange(WndMessage&) {
    handled.push_back("range");
    return true;
  }
  bool OnChange(WndMessage&) {
    handled.push_back("change");
    return true;
  }
  static const MessageEntry<TestDialog> kTable[];
};

const MessageEntry<TestDialog> TestDialog::kTable[] = {
    OnMessageEntry(kEndWith, &TestDialog::OnEnd),
    OnMessageEntry(kDestroyWith, &TestDialog::OnDestroyRequest),
    OnCommandEntry(500, 510, &TestDialog::OnRange),
    OnNotifyCodeEntry(kEditId, EN_CHANGE, &TestDialog::OnChange),
};

// Defined after the table: the table's size is known only from here on.
bool TestDialog::OnMessage(WndMessage& m) {
  return DispatchTable(*this, kTable, m) || Dialog::OnMessage(m);
}

TEST(WndFramework, TableEntriesMatchMessagesCommandRangesAndNotifyCodes) {
  WndMessage m{nullptr, WM_COMMAND, MAKEWPARAM(505, BN_CLICKED), 0, 0};
  EXPECT_TRUE(EntryMatches(WM_COMMAND, 500, 510, kAnyNotifyCode, m));
  EXPECT_FALSE(EntryMatches(WM_COMMAND, 506, 510, kAnyNotifyCode, m));
  EXPECT_FALSE(EntryMatches(WM_COMMAND, 500, 504, kAnyNotifyCode, m));
  EXPECT_TRUE(EntryMatches(WM_COMMAND, 505, 505, BN_CLICKED, m));
  EXPECT_FALSE(EntryMatches(WM_COMMAND, 505, 505, LBN_SELCHANGE, m));
  for (UINT message = WM_CTLCOLORMSGBOX; message <= WM_CTLCOLORSTATIC; ++message) {
    EXPECT_TRUE(
        EntryMatches(kAnyCtlColor, 0, 0, kAnyNotifyCode, WndMessage{nullptr, message, 0, 0, 0}));
  }
  EXPECT_FALSE(
      EntryMatches(kAnyCtlColor, 0, 0, kAnyNotifyCode, WndMessage{nullptr, WM_PAINT, 0, 0, 0}));
  // Other messages ignore the identifier fields.
  EXPECT_TRUE(EntryMatches(WM_CLOSE, 7, 9, 3, WndMessage{nullptr, WM_CLOSE, 1, 2, 0}));
}

TEST(WndFramework, ModalLoopPreTranslatesControlMessagesBeforeTheDialogKeys) {
  EmptyTemplate t;
  TestDialog dialog(&t.dlg);
  dialog.filterEscape = true;
  EXPECT_EQ(dialog.DoModal(), 42);
  // The Escape sent to the edit box reached the dialog's filter and was eaten.
  EXPECT_EQ(dialog.filtered, (std::vector<WPARAM>{VK_ESCAPE}));
  EXPECT_EQ(dialog.handled, (std::vector<std::string>{"end"}));
  EXPECT_FALSE(dialog.IsCreated());
  EXPECT_FALSE(dialog.edit.IsCreated());
}

TEST(WndFramework, WithoutTheFilterEscapeCancelsTheDialog) {
  EmptyTemplate t;
  TestDialog dialog(&t.dlg);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(dialog.handled.empty());
}

TEST(WndFramework, DestroyedDuringInitialisationEndsTheModalRun) {
  EmptyTemplate t;
  TestDialog dialog(&t.dlg);
  dialog.destroyDuringInit = true;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_FALSE(dialog.IsCreated());
  EXPECT_EQ(Wnd::FromHandle(dialog.hwnd()), nullptr);
}

TEST(WndFramework, DestroyedByAMessageFromAnotherThreadEndsTheModalRun) {
  EmptyTemplate t;
  TestDialog dialog(&t.dlg);
  dialog.destroyFromAnotherThread = true;
  // Should the loop not notice, a quit message ends it after a while.
  const DWORD thread = GetCurrentThreadId();
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::thread watchdog([thread, done] {
    for (int i = 0; i < 100 && !*done; ++i) Sleep(50);
    if (!*done) PostThreadMessageW(thread, WM_QUIT, 0, 0);
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  *done = true;
  watchdog.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_FALSE(dialog.IsCreated());
  // A quit message that came anyway must not end the next test's loop.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

TEST(WndFramework, ModelessDialogTablesCommandsAndControls) {
  EmptyTemplate t;
  TestDialog dialog(&t.dlg);
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  EXPECT_EQ(Wnd::FromHandle(dialog.hwnd()), &dialog);
  EXPECT_EQ(Wnd::FromHandle(dialog.edit.hwnd()), &dialog.edit);
  SendMessageW(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(507, BN_CLICKED), 0);
  SendMessageW(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(511, BN_CLICKED), 0);
  dialog.edit.SetText(u"12");  // EN_CHANGE to the parent
  EXPECT_EQ(dialog.edit.GetText(), u"12");
  EXPECT_EQ(dialog.handled, (std::vector<std::string>{"range", "change"}));
  dialog.Destroy();
  EXPECT_FALSE(dialog.IsCreated());
  // The child went with its parent; its object is unbound and can create again.
  EXPECT_FALSE(dialog.edit.IsCreated());
}

// A list box that counts the messages it sees and draws its items.
class CountingList : public ListBox {
 public:
  bool OnMessage(WndMessage& m) override {
    if (m.message == WM_USER + 7) {
      m.result = 77;
      return true;
    }
    return false;
  }
  bool DrawItem(DRAWITEMSTRUCT& item) override {
    drawn.push_back(static_cast<int>(item.itemID));
    return true;
  }
  std::vector<int> drawn;
};

TEST(WndFramework, SubclassedListBoxRecreatesAndGetsItsOwnerDrawnItems) {
  EmptyTemplate t;
  TestDialog dialog(&t.dlg);
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  CountingList list;
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY | WS_VSCROLL, RECT{0, 30, 100, 90},
                            dialog.hwnd(), 10001));
    EXPECT_EQ(list.id(), 10001u);
    EXPECT_EQ(list.AddString(u"Macro 1"), 0);
    EXPECT_EQ(list.AddString(u"Ma\u00E7ro 2"), 1);
    EXPECT_EQ(list.GetCount(), 2);
    list.SetCurSel(1);
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(list.GetItemText(1), u"Ma\u00E7ro 2");
    EXPECT_EQ(list.GetItemText(5), u"");
    // The control's own table answers first; the rest goes to the list box.
    EXPECT_EQ(SendMessageW(list.hwnd(), WM_USER + 7, 0, 0), 77);
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
    list.Destroy();
    EXPECT_FALSE(list.IsCreated());
  }
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE, RECT{0, 30, 100, 90}, dialog.hwnd(), 10001));

  // WM_DRAWITEM of a control goes to its object, of a menu item to the menu.
  std::vector<UINT> menuItems;
  dialog.drawMenuItem = [&](DRAWITEMSTRUCT& item) {
    menuItems.push_back(item.itemID);
    return true;
  };
  DRAWITEMSTRUCT control{};
  control.CtlType = ODT_LISTBOX;
  control.CtlID = 10001;
  control.itemID = 3;
  control.hwndItem = list.hwnd();
  SendMessageW(dialog.hwnd(), WM_DRAWITEM, 10001, reinterpret_cast<LPARAM>(&control));
  DRAWITEMSTRUCT menu{};
  menu.CtlType = ODT_MENU;
  menu.itemID = 32800;
  SendMessageW(dialog.hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menu));
  EXPECT_EQ(list.drawn, (std::vector<int>{3}));
  EXPECT_EQ(menuItems, (std::vector<UINT>{32800}));
  // A measure request for a menu item without a handler is left alone.
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_MENU;
  measure.itemWidth = 5;
  SendMessageW(dialog.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
  EXPECT_EQ(measure.itemWidth, 5u);
  dialog.Destroy();
  EXPECT_FALSE(list.IsCreated());
}

// An edit box that owns its change notifications and colours.
class OwnEdit : public Edit {
 public:
  bool OnReflected(WndMessage& m) override {
    if (m.message == WM_COMMAND && HIWORD(m.wParam) == EN_CHANGE) {
      changes.push_back(GetText());
      return true;
    }
    if (m.message == WM_CTLCOLOREDIT) {
      m.result = reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
      return true;
    }
    return false;
  }
  std::vector<Text> changes;
};

TEST(WndFramework, ControlsGetTheirOwnNotificationsAndColoursFirst) {
  EmptyTemplate t;
  TestDialog dialog(&t.dlg);
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  OwnEdit own;
  ASSERT_TRUE(own.Create(WS_CHILD | WS_VISIBLE, RECT{5, 30, 100, 50}, dialog.hwnd(), kEditId));
  own.SetText(u"7");
  EXPECT_EQ(own.changes, (std::vector<Text>{u"7"}));
  // The dialog's table saw none of it; the other edit box's change is the
  // dialog's as before (no object of its own answers it).
  EXPECT_TRUE(dialog.handled.empty());
  dialog.edit.SetText(u"8");
  EXPECT_EQ(dialog.handled, (std::vector<std::string>{"change"}));

  HDC dc = GetDC(own.hwnd());
  const LRESULT brush = SendMessageW(dialog.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(own.hwnd()));
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(own.hwnd(), dc);
  dialog.Destroy();
}

TEST(WndFramework, TrayIconAddAndDelete) {
  EmptyTemplate t;
  TestDialog dialog(&t.dlg);
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  const Text longTip(300, u'x');  // cut to the record's room, never past it
  EXPECT_TRUE(AddTrayIcon(TrayIconRecord{dialog.hwnd(), 153, WM_USER + 1, icon, longTip}));
  EXPECT_TRUE(DeleteTrayIcon(dialog.hwnd(), 153));
  EXPECT_FALSE(DeleteTrayIcon(dialog.hwnd(), 153));  // a second delete has nothing to act on
  dialog.Destroy();
}

}  // namespace
}  // namespace nuv::win32
