// Renders every page of a skin through the GDI canvas, in both languages,
// into BMP files, to look at what the window really draws:
//
//   xvfb-run -a wine build/win/bench/paint_preview.exe [skins folder] [output folder]
//
// (default output: build\paint-previews beside the sources).
#include <cstdio>
#include <fstream>

#include "bench_skin.h"
#include "platform/win32/win32_canvas.h"
#include "platform/win32/win32_picture.h"

namespace nuv::bench {
namespace {

bool WriteBmp(const std::string& path, const win32::GdiCanvas& canvas, int width, int height) {
  std::ofstream out(path, std::ios::binary);
  if (!out) return false;
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3u) & ~3u;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageBytes;
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;  // bottom-up rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = imageBytes;
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  std::vector<char> row(rowBytes, 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t px = canvas.BackBufferPixel(x, y);
      row[static_cast<size_t>(x) * 3] = static_cast<char>(px & 0xFF);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<char>(px >> 8 & 0xFF);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<char>(px >> 16 & 0xFF);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
  return static_cast<bool>(out);
}

int Run(int argc, char** argv) {
  const Text folder = SkinFolderArgument(argc, argv);
  std::string output =
      argc > 2 ? argv[2] : std::string("Z:") + NUV_SOURCE_DIR + "/build/paint-previews";
  CreateDirectoryA(output.c_str(), nullptr);
  win32::GdiplusPictures decoder;
  Picture mask;
  if (!decoder.Load(folder + u"\\main_mask.jpg", mask)) {
    std::fprintf(stderr, "no main_mask.jpg in %s\n", Narrow(folder).c_str());
    return 1;
  }
  for (int32_t language : {1, 0}) {
    PaintScene scene(folder, language);
    if (!scene.loaded) return 1;
    win32::GdiCanvas canvas(decoder);
    canvas.SetSkinFolder(folder);
    if (!canvas.PrepareBackBuffer(mask.width, mask.height)) return 1;
    // Second look of each page: the apply button held, the page's own key
    // hovered, a recording running, the attention mark down, the tile grey.
    for (bool other : {false, true}) {
      scene.ui.mainHover = other ? 3 : 10;
      scene.ui.held = other;
      scene.ui.advancedHover = other ? 5 : kNoSkinHit;
      scene.ui.colourHover = other ? 2 : kNoSkinHit;
      scene.ui.previewOff = other;
      scene.attention.blinkPhase = other ? kBlinkDown : kBlinkOver;
      for (uint8_t page = 0; page < 3; ++page) {
        PaintInputs inputs = scene.Inputs(page);
        inputs.recording = other;
        PaintPage(inputs, canvas);
        const std::string path = output + "/" + kPageNames[page] + (language ? "_en" : "_cn") +
                                 (other ? "_states" : "") + ".bmp";
        if (!WriteBmp(path, canvas, mask.width, mask.height)) {
          std::fprintf(stderr, "cannot write %s\n", path.c_str());
          return 1;
        }
        std::printf("%s\n", path.c_str());
      }
    }
  }
  return 0;
}

}  // namespace
}  // namespace nuv::bench

int main(int argc, char** argv) { return nuv::bench::Run(argc, argv); }
