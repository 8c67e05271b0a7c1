#include "platform/win32/wnd_shell.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "platform/file_dialog_filter.h"
#include "platform/win32/win32_text.h"

namespace nuv::win32 {
namespace {

WinApp* g_current_app = nullptr;

}  // namespace

WinApp::WinApp() { g_current_app = this; }

WinApp::~WinApp() {
  if (g_current_app == this) g_current_app = nullptr;
}

WinApp* WinApp::Current() { return g_current_app; }

int WinApp::Run() {
  InitInstance();
  return 0;
}

bool AddTrayIcon(const TrayIconRecord& record) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = record.owner;
  data.uID = record.id;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = record.callbackMessage;
  data.hIcon = record.icon;
  const size_t n = std::min(record.tip.size(), std::size(data.szTip) - 1);
  std::copy_n(record.tip.data(), n, data.szTip);
  data.szTip[n] = 0;
  return Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

bool DeleteTrayIcon(HWND owner, UINT id) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner;
  data.uID = id;
  return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

int ShowMessageBox(HWND owner, const Text& text, const Text& caption, UINT type) {
  return MessageBoxW(owner, W(text), W(caption), type);
}

std::optional<Text> ShowFileDialog(const FileDialogRequest& request) {
  const Text filter = SystemFileFilter(request.filter);
  // Room for any path the system can hand back.
  std::vector<wchar_t> file(32768, 0);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = request.owner;
  ofn.lpstrFilter = filter.empty() ? nullptr : W(filter);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : W(request.initialFolder);
  ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : W(request.defaultExtension);
  ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (request.save) ofn.Flags |= OFN_OVERWRITEPROMPT;
  const BOOL chosen = request.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) return std::nullopt;
  return FromW(file.data());
}

}  // namespace nuv::win32
