// Sweeps the pointer over the main window from another process, as the
// window system would report it, and prints what each move cost: the window
// is found by its title, every point of a grid over the face is sent as
// WM_MOUSEMOVE (SendMessage waits until the window has handled it, including
// a repaint, which the window draws at once), and after each move the window
// is asked for its paint count (the registered message
// "NUV_Talv.PaintCount", which the program answers only when it was started
// with -TESTPAINTCOUNT).
//
//   hover_sweep.exe [step]      grid step in pixels (default 4)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t i = std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5));
  return values[i];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int step = argc > 1 ? std::max(1, _wtoi(argv[1])) : 4;
  HWND window = FindWindowW(nullptr, L"QUARVEL 241-7730 GAMING MOUSE");
  if (!window) {
    std::printf("no window\n");
    return 1;
  }
  const UINT paintCount = RegisterWindowMessageW(L"NUV_Talv.PaintCount");
  RECT face{};
  GetClientRect(window, &face);
  std::vector<double> painting;
  std::vector<double> quiet;
  LRESULT paints = SendMessageW(window, paintCount, 0, 0);
  if (paints == 0) {
    std::printf("no paint count: start the program with -TESTPAINTCOUNT\n");
    return 1;
  }
  const LRESULT first = paints;
  using Clock = std::chrono::steady_clock;
  for (int y = 0; y < face.bottom; y += step) {
    // Each row runs left to right, then back to the row's start off the face,
    // so every row begins from the same state.
    for (int x = 0; x < face.right; x += step) {
      const auto start = Clock::now();
      SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
      const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
      const LRESULT now = SendMessageW(window, paintCount, 0, 0);
      (now != paints ? painting : quiet).push_back(us);
      paints = now;
    }
  }
  std::printf("moves %zu, paints %ld (moves that painted %zu)\n", painting.size() + quiet.size(),
              static_cast<long>(paints - first), painting.size());
  std::printf("move with a repaint: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
              Percentile(painting, 0.5) / 1000, Percentile(painting, 0.99) / 1000,
              Percentile(painting, 1.0) / 1000);
  std::printf("move without a repaint: p50 %.3f ms, p99 %.3f ms\n", Percentile(quiet, 0.5) / 1000,
              Percentile(quiet, 0.99) / 1000);
  return 0;
}
