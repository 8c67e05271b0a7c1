#include "winapp/main_window_paint.h"

namespace nuv::win32 {

void PaintMainWindow(HDC target, GdiCanvas& canvas, const PaintInputs& inputs, int width,
                     int height) {
  if (!canvas.PrepareBackBuffer(width, height)) return;
  PaintPage(inputs, canvas);
  canvas.Present(target, width, height);
}

void DrawMinimisedIcon(HDC target, HICON icon, const RECT& client) {
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(target, x, y, icon);
}

}  // namespace nuv::win32
