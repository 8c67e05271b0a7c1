// Time of one full paint of each page: natively with the host canvas
// (composing pixels), on Windows with the GDI canvas including the copy to a
// window-sized target, with the decoded pictures kept (cached) and decoded
// anew on every paint (uncached). On Windows at the display scales given
// (percent, default 100 150 200), with the bytes of the decoded pictures the
// canvas keeps once every page has been painted.
//
//   build/native/bench/paint_bench [skins folder]
//   xvfb-run -a wine build/win/bench/paint_bench.exe [skins folder] [percent...]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_skin.h"
#ifdef _WIN32
#include "platform/win32/win32_picture.h"
#include "winapp/main_window_paint.h"
#else
#include "platform/host/host_canvas.h"
#include "platform/host/host_picture.h"
#endif

namespace nuv::bench {
namespace {

using Micros = std::chrono::duration<double, std::micro>;

template <typename PaintOnce>
void Measure(const char* what, const char* page, int rounds, PaintOnce paint) {
  paint();  // the first paint decodes what a cached canvas keeps
  std::vector<double> times;
  times.reserve(static_cast<size_t>(rounds));
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    paint();
    times.push_back(Micros(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  const auto at = [&](double q) { return times[static_cast<size_t>(q * (times.size() - 1))]; };
  std::printf("%-9s %-9s rounds %4d  p50 %8.1f us  p99 %8.1f us  max %8.1f us\n", what, page,
              rounds, at(0.5), at(0.99), times.back());
}

int Run(int argc, char** argv) {
  const Text folder = SkinFolderArgument(argc, argv);
  PaintScene scene(folder);
  if (!scene.loaded) {
    std::fprintf(stderr, "skin files not found in %s\n", Narrow(folder).c_str());
    return 1;
  }
#ifdef _WIN32
  std::printf("GDI canvas (PaintMainWindow into a memory DC of the mask size), skins %s\n",
              Narrow(folder).c_str());
  win32::GdiplusPictures decoder;
  Picture mask;
  decoder.Load(folder + u"\\main_mask.jpg", mask);
  std::vector<int> percents;
  for (int i = 2; i < argc; ++i) percents.push_back(std::atoi(argv[i]));
  if (percents.empty()) percents = {100, 150, 200};
  HDC screen = GetDC(nullptr);
  for (int percent : percents) {
    const DisplayScale scale(percent * kBaseDpi / 100);
    const int width = scale.ToPixels(mask.width);
    const int height = scale.ToPixels(mask.height);
    std::printf("-- %d %% (%d DPI): %d x %d\n", percent, scale.dpi(), width, height);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(target, bitmap);
    for (bool cached : {true, false}) {
      win32::GdiCanvas canvas(decoder);
      canvas.SetSkinFolder(folder);
      canvas.SetScale(scale);
      canvas.SetCaching(cached);
      for (uint8_t page = 0; page < 3; ++page) {
        Measure(cached ? "cached" : "uncached", kPageNames[page], cached ? 500 : 30,
                [&] { win32::PaintMainWindow(target, canvas, scene.Inputs(page), width, height); });
      }
      if (cached) {
        std::printf("decoded pictures kept after every page: %.1f MB\n",
                    static_cast<double>(canvas.DecodedPictureBytes()) / (1024 * 1024));
      }
    }
    SelectObject(target, old);
    DeleteObject(bitmap);
    DeleteDC(target);
  }
  ReleaseDC(nullptr, screen);
#else
  std::printf("host canvas (recording and composing pixels), skins %s\n", Narrow(folder).c_str());
  HostJpegPictures decoder;
  for (bool cached : {true, false}) {
    HostCanvas canvas(decoder, folder);
    for (uint8_t page = 0; page < 3; ++page) {
      Measure(cached ? "cached" : "uncached", kPageNames[page], cached ? 500 : 30, [&] {
        if (!cached) canvas.ForgetPictures();
        PaintPage(scene.Inputs(page), canvas);
      });
    }
  }
#endif
  return 0;
}

}  // namespace
}  // namespace nuv::bench

int main(int argc, char** argv) { return nuv::bench::Run(argc, argv); }
