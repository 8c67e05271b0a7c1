// The main window's paint: the current page composed on the GDI canvas, or
// the icon while minimised.
#pragma once

#include <windows.h>

#include "platform/win32/win32_canvas.h"
#include "ui/page_paint.h"

namespace nuv::win32 {

// The paint handler's work when the window is not minimised: compose the
// current page and copy it to `target` (the window's paint DC).
void PaintMainWindow(HDC target, GdiCanvas& canvas, const PaintInputs& inputs, int width,
                     int height);

// When minimised: the window's icon centred in its client area.
void DrawMinimisedIcon(HDC target, HICON icon, const RECT& client);

}  // namespace nuv::win32
