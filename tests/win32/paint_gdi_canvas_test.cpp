// The GDI canvas paints every page of the shipped skin into its back buffer.
#include <gtest/gtest.h>

#include "platform/host/recording_messages.h"
#include "platform/win32/win32_ini.h"
#include "platform/win32/win32_picture.h"
#include "skin_test_support.h"
#include "winapp/main_window_paint.h"

namespace nuv {
namespace {

uint32_t PixelOf(const Picture& p, int x, int y) {
  const uint8_t* px = p.Pixel(x, y);
  return (uint32_t{px[0]} << 16) | (uint32_t{px[1]} << 8) | px[2];
}

struct ShippedPaint {
  ShippedPaint() {
    SkinSources sources{ini, messages, u"test", SkinFileExists, [] {}};
    loaded = LoadPageSkin(sources, folder, 1, skin);
    decoder.Load(folder + u"\\main_mask.jpg", mask);
  }
  PaintInputs Inputs() {
    return {.ui = ui,
            .skin = skin,
            .profile = profile,
            .macros = macros,
            .counters = {},
            .attention = attention};
  }

  win32::Win32Ini ini;
  RecordingMessages messages;
  Text folder = test::ShippedSkinFolder();
  win32::GdiplusPictures decoder;
  PageSkin skin;
  bool loaded = false;
  Picture mask;
  UiState ui;
  MouseProfile profile;
  MacroStore macros;
  AttentionState attention;
};

TEST(Win32PaintCanvas, PaintsEveryPageOfTheShippedSkin) {
  ShippedPaint s;
  ASSERT_TRUE(s.loaded);
  ASSERT_FALSE(s.mask.empty());
  win32::GdiCanvas canvas(s.decoder);
  canvas.SetSkinFolder(s.folder);
  HDC screen = GetDC(nullptr);
  HDC target = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, s.mask.width, s.mask.height);
  HGDIOBJ old = SelectObject(target, bitmap);

  const struct {
    uint8_t page;
    const char16_t* normal;
  } pages[] = {{kMainPage, u"\\main_normal.jpg"},
               {kAdvancedPage, u"\\advanced_normal.jpg"},
               {kColourPage, u"\\color_normal_pink.jpg"}};
  for (const auto& page : pages) {
    SCOPED_TRACE(int{page.page});
    s.ui.page = page.page;
    s.ui.mainHover = 13;  // the tray button, drawn from the "over" picture
    win32::PaintMainWindow(target, canvas, s.Inputs(), s.mask.width, s.mask.height);
    Picture normal, over;
    ASSERT_TRUE(s.decoder.Load(s.folder + page.normal, normal));
    ASSERT_TRUE(s.decoder.Load(
        s.folder + SkinPictureFileName(page.page == kMainPage       ? SkinPicture::kMainOver
                                       : page.page == kAdvancedPage ? SkinPicture::kAdvancedOver
                                                                    : SkinPicture::kColourOver),
        over));
    // The hovered key shows the "over" picture; the corner shows the background.
    const SkinRect& tray = s.skin.main.rects[13];
    const int cx = tray.x + 1, cy = tray.y + 1;
    EXPECT_EQ(canvas.BackBufferPixel(cx, cy), PixelOf(over, cx, cy));
    EXPECT_EQ(canvas.BackBufferPixel(0, 0), PixelOf(normal, 0, 0));
    // The one copy to the window carries the face.
    const COLORREF shown = GetPixel(target, cx, cy);
    EXPECT_EQ(shown, RGB(over.Pixel(cx, cy)[0], over.Pixel(cx, cy)[1], over.Pixel(cx, cy)[2]));
  }
  // The text fonts measure something in both languages.
  for (TextFont font : {TextFont::kEnglish, TextFont::kSecondLanguage}) {
    canvas.SelectFont(font);
    const TextExtent size = canvas.MeasureText(u"Record");
    EXPECT_GT(size.width, 0);
    EXPECT_GT(size.height, 0);
  }
  SelectObject(target, old);
  DeleteObject(bitmap);
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
}

TEST(Win32PaintCanvas, MissingPicturesLeaveABlackFaceAndAReloadPicksUpNewFiles) {
  ShippedPaint s;
  win32::GdiCanvas canvas(s.decoder);
  canvas.SetSkinFolder(u"Z:\\no\\such\\folder");
  ASSERT_TRUE(canvas.PrepareBackBuffer(64, 48));
  PaintPage(s.Inputs(), canvas);
  EXPECT_EQ(canvas.BackBufferPixel(10, 10), 0u);
  canvas.SetSkinFolder(s.folder);
  PaintPage(s.Inputs(), canvas);
  Picture normal;
  ASSERT_TRUE(s.decoder.Load(s.folder + u"\\main_normal.jpg", normal));
  EXPECT_EQ(canvas.BackBufferPixel(10, 10), PixelOf(normal, 10, 10));
  // Uncached painting decodes anew and composes the same face.
  canvas.SetCaching(false);
  PaintPage(s.Inputs(), canvas);
  EXPECT_EQ(canvas.BackBufferPixel(10, 10), PixelOf(normal, 10, 10));
}

// Both interface faces are proportional at every scale, as Windows draws
// them: Arial is asked as fixed pitch, which a Wine prefix without a face for
// it answers with a typewriter face.
TEST(Win32PaintCanvas, InterfaceFacesAreProportionalAtEveryScale) {
  ShippedPaint s;
  win32::GdiCanvas canvas(s.decoder);
  ASSERT_TRUE(canvas.PrepareBackBuffer(64, 48));
  for (int32_t dpi : {96, 144, 192}) {
    canvas.SetScale(DisplayScale(dpi));
    for (TextFont font : {TextFont::kEnglish, TextFont::kSecondLanguage}) {
      canvas.SelectFont(font);
      EXPECT_LT(canvas.MeasureText(u"iiiiiiii").width * 2, canvas.MeasureText(u"WWWWWWWW").width)
          << dpi << " DPI, font " << static_cast<int>(font);
    }
  }
}

}  // namespace
}  // namespace nuv
