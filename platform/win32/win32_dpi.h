// The DPI a window is drawn at: its monitor's on a system that scales per
// monitor (Windows 10 1607 and later), else the system's.
#pragma once

#include <windows.h>

#include <cstdint>

namespace nuv::win32 {

int32_t WindowDpi(HWND window);

// An icon of the program's resource at the system's size for `dpi`
// (small: the caption and tray size; else the large one).
HICON ProgramIconAtDpi(int resourceId, bool small, int32_t dpi);

}  // namespace nuv::win32
