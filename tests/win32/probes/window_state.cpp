// Tells from outside what the window system knows of the main window: found
// by its title, it prints "visible=<0|1> iconic=<0|1> left=<x> top=<y>
// enabled=<0|1>", or "missing" (exit code 1) when no such window exists. The
// end-to-end test asks it after the minimise and tray keys, which a screen
// without a window manager cannot show, and while a file dialog is up.
//
// With the argument "about" it chooses the About item of the window's system
// menu instead, prints the version line of the About box that comes up and
// closes the box (exit code 1 when no box comes).
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

int PrintAboutLine(HWND window) {
  constexpr WPARAM kAboutCommand = 16;        // appended to the system menu
  constexpr int kAboutVersionControl = 1000;  // the box's version line
  PostMessageW(window, WM_SYSCOMMAND, kAboutCommand, 0);
  for (int i = 0; i < 100; ++i) {
    // The box has its title before its controls: wait for the line's text.
    // (It may stay hidden: a box owned by a window in the tray is not shown.)
    wchar_t line[128] = {};
    HWND box = FindWindowW(nullptr, L"About NUV_Talv");
    if (box && GetDlgItemTextW(box, kAboutVersionControl, line, 128) > 0) {
      std::printf("%ls\n", line);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return 0;
    }
    Sleep(100);
  }
  std::printf("no About box\n");
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HWND window = FindWindowW(nullptr, L"QUARVEL 241-7730 GAMING MOUSE");
  if (!window) {
    std::printf("missing\n");
    return 1;
  }
  if (argc == 2 && std::wcscmp(argv[1], L"about") == 0) return PrintAboutLine(window);
  RECT r{};
  GetWindowRect(window, &r);
  std::printf("visible=%d iconic=%d left=%ld top=%ld enabled=%d\n", IsWindowVisible(window) ? 1 : 0,
              IsIconic(window) ? 1 : 0, r.left, r.top, IsWindowEnabled(window) ? 1 : 0);
  return 0;
}
