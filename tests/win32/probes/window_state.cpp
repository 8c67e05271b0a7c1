// Tells from outside what the window system knows of the main window: found
// by its title, it prints "visible=<0|1> iconic=<0|1> left=<x> top=<y>", or
// "missing" (exit code 1) when no such window exists. The end-to-end test
// asks it after the minimise and tray keys, which a screen without a window
// manager cannot show.
#include <windows.h>

#include <cstdio>

int wmain() {
  HWND window = FindWindowW(nullptr, L"QUARVEL 241-7730 GAMING MOUSE");
  if (!window) {
    std::printf("missing\n");
    return 1;
  }
  RECT r{};
  GetWindowRect(window, &r);
  std::printf("visible=%d iconic=%d left=%ld top=%ld\n", IsWindowVisible(window) ? 1 : 0,
              IsIconic(window) ? 1 : 0, r.left, r.top);
  return 0;
}
