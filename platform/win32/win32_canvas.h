// The main window's canvas in GDI: one back buffer (a 32-bit DIB section in a
// memory DC) that a paint composes and then copies to the window in one go,
// the two text fonts (created once per scale), and the skin pictures decoded
// once and kept as bitmaps in memory DCs until the skin or the scale changes.
//
// Coordinates given to the canvas are skin units; it draws at its display
// scale: the back buffer, every copy and text position, the fonts and the
// pictures are in the window's pixels. A picture comes from the finest file
// the skin draws for that scale ("name@2x.jpg" beside "name.jpg"), resampled
// to the exact size; a skin with only 1x pictures has them enlarged. At 96
// DPI it is pixel for pixel the 1x drawing.
#pragma once

#include <windows.h>

#include <array>

#include "platform/canvas_port.h"
#include "platform/display_scale.h"
#include "platform/picture_port.h"
#include "platform/win32/gdi_handle.h"

namespace nuv::win32 {

class GdiCanvas : public CanvasPort {
 public:
  explicit GdiCanvas(PicturePort& decoder);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  // The folder the pictures come from; a different folder drops the pictures.
  void SetSkinFolder(const Text& folder);
  // Drops the decoded pictures; the next paint decodes them again (after a
  // skin reload, so that new files are picked up).
  void ForgetPictures();
  // Without caching every page begins by decoding its pictures anew.
  void SetCaching(bool cache) { caching_ = cache; }
  // Another scale drops the pictures and makes the fonts anew.
  void SetScale(const DisplayScale& scale);
  const DisplayScale& scale() const { return scale_; }

  // Makes sure the back buffer is `width` by `height` pixels. False when GDI
  // refused.
  bool PrepareBackBuffer(int width, int height);
  // Copies the back buffer to `target` at (0, 0).
  void Present(HDC target, int width, int height) const;
  HDC backBuffer() const { return back_.dc.get(); }
  // Bytes of the decoded pictures the canvas keeps now.
  size_t DecodedPictureBytes() const;
  // Pixel (x, y) of the back buffer as 0x00RRGGBB; 0 outside it.
  uint32_t BackBufferPixel(int x, int y) const;

  HFONT Font(TextFont font) const {
    return font == TextFont::kEnglish ? english_.get() : second_.get();
  }
  HFONT FontFor(int32_t language) const {
    return Font(language != 0 ? TextFont::kEnglish : TextFont::kSecondLanguage);
  }

  // The control-colour handler's part for the advanced page's edit and list
  // controls: the language's font, white text on black; returns the black
  // brush, which the canvas keeps for its lifetime.
  HBRUSH PrepareControlColours(HDC control, int32_t language) const;

  void BeginPage(SkinPicture background) override;
  void CopyFrom(SkinPicture source, int32_t sourceX, int32_t sourceY, int32_t x, int32_t y,
                int32_t width, int32_t height) override;
  void SelectFont(TextFont font) override;
  TextExtent MeasureText(TextView text) override;
  void PutText(int32_t x, int32_t y, TextView text, TextColour colour) override;
  void FrameBox(int32_t x, int32_t y, int32_t width, int32_t height, int32_t thickness,
                TextColour colour) override;

 private:
  // A bitmap selected into its own memory DC. Released in the order GDI
  // needs: the bitmap deselected, the DC deleted, then the bitmap.
  struct Surface {
    BitmapHandle bitmap;
    MemoryDcHandle dc;
    SelectedObject selection;
    void* bits = nullptr;
    int width = 0;
    int height = 0;
    bool decoded = false;  // a picture slot that has been tried (even if it failed)
    void Release();
  };
  static bool MakeSurface(int width, int height, Surface& out);
  const Surface* PictureOf(SkinPicture picture);
  void MakeFonts();

  PicturePort& decoder_;
  DisplayScale scale_;
  Text skinFolder_;
  bool caching_ = true;
  std::array<Surface, kSkinPictureCount> pictures_{};
  Surface back_;
  FontHandle english_;
  FontHandle second_;
  BrushHandle blackBrush_;
};

}  // namespace nuv::win32
