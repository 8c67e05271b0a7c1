// Where the main window's face is composed: a back buffer that starts as a
// page's background picture, receives rectangles copied from the skin
// pictures at the same coordinates, and texts in the interface font. The
// window's canvas does this with GDI; the host canvas records it for tests.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace nuv {

// The skin pictures the windows draw from, by identity; the canvas
// turns an identity into a file of the skin folder and may keep it decoded.
enum class SkinPicture : uint8_t {
  kMainNormal,
  kMainOver,
  kMainDown,
  kAdvancedNormal,
  kAdvancedOver,
  kAdvancedDown,
  kColourNormal,    // "color_normal_pink.jpg"
  kColourOver,      // "color_over_red.jpg"
  kColourDown,      // "color_down_purple.jpg"
  kColourTileGrey,  // "color_normal_gray.jpg"
  kColourTileBlue,  // "color_over_blue.jpg"
  kDpiSlider,
  // The warning dialog and the two levels of the function popups.
  kWarningNormal,
  kWarningOver,
  kMenuNormal,
  kMenuOver,
  kMenuDown,
  kSubMenuNormal,  // "advanced menu_normal.jpg"
  kSubMenuOver,
  kSubMenuDown,
  kCount,
};
constexpr int kSkinPictureCount = static_cast<int>(SkinPicture::kCount);

// "\" + the picture's file name, to be appended to the skin folder.
const char16_t* SkinPictureFileName(SkinPicture picture);

// The pictures that paint one face together: a page's background and state
// pictures (the DPI knob with the main page's), or the popups'.
enum class PictureGroup : uint8_t { kMain, kAdvanced, kColour, kPopups };
PictureGroup GroupOf(SkinPicture picture);

// The two text fonts of the main window: the English one ("Arial", 15 by 7)
// and the second language's ("Verdana", 12 by 6).
enum class TextFont : uint8_t { kEnglish, kSecondLanguage };

struct TextColour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const TextColour&) const = default;
};
constexpr TextColour kWhiteText{255, 255, 255};
constexpr TextColour kYellowText{255, 255, 0};
constexpr TextColour kRedText{255, 0, 0};
constexpr TextColour kGreyText{128, 128, 128};

struct TextExtent {
  int32_t width = 0;
  int32_t height = 0;
};

// A block copy from one picture to another, in pixels.
struct CopyBlock {
  int32_t sourceX = 0, sourceY = 0, x = 0, y = 0, width = 0, height = 0;
};
// Cuts `block` to the parts that lie inside both the source (sourceWidth by
// sourceHeight) and the target; false when nothing is left. Skin values are
// unchecked, so this is done in 64 bits.
bool ClipCopy(int32_t sourceWidth, int32_t sourceHeight, int32_t targetWidth, int32_t targetHeight,
              CopyBlock& block);

class CanvasPort {
 public:
  virtual ~CanvasPort() = default;

  // Starts a new face: the back buffer becomes a copy of `background`
  // (black where the picture is missing).
  virtual void BeginPage(SkinPicture background) = 0;
  // Copies the block of `width` by `height` at (sourceX, sourceY) of `source`
  // to (x, y) of the back buffer. Parts outside either picture are left out;
  // a missing picture copies nothing.
  virtual void CopyFrom(SkinPicture source, int32_t sourceX, int32_t sourceY, int32_t x, int32_t y,
                        int32_t width, int32_t height) = 0;
  // Texts are drawn with a transparent background in the selected font.
  virtual void SelectFont(TextFont font) = 0;
  virtual TextExtent MeasureText(TextView text) = 0;
  // `x`, `y` is the top-left corner of the text's cell.
  virtual void PutText(int32_t x, int32_t y, TextView text, TextColour colour) = 0;
  // The keyboard focus mark: a frame `thickness` units wide along the inside
  // of the box, in `colour`. Its edges are scaled like a copy's, so that the
  // mark stays as thick, relative to the face, at every display scale.
  virtual void FrameBox(int32_t x, int32_t y, int32_t width, int32_t height, int32_t thickness,
                        TextColour colour) = 0;
};

}  // namespace nuv
