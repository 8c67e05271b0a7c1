#include "platform/canvas_port.h"

#include <algorithm>

namespace nuv {

PictureGroup GroupOf(SkinPicture picture) {
  if (picture <= SkinPicture::kMainDown || picture == SkinPicture::kDpiSlider) {
    return PictureGroup::kMain;
  }
  if (picture <= SkinPicture::kAdvancedDown) return PictureGroup::kAdvanced;
  if (picture <= SkinPicture::kColourTileBlue) return PictureGroup::kColour;
  return PictureGroup::kPopups;
}

const char16_t* SkinPictureFileName(SkinPicture picture) {
  switch (picture) {
    case SkinPicture::kMainNormal:
      return u"\\main_normal.jpg";
    case SkinPicture::kMainOver:
      return u"\\main_over.jpg";
    case SkinPicture::kMainDown:
      return u"\\main_down.jpg";
    case SkinPicture::kAdvancedNormal:
      return u"\\advanced_normal.jpg";
    case SkinPicture::kAdvancedOver:
      return u"\\advanced_over.jpg";
    case SkinPicture::kAdvancedDown:
      return u"\\advanced_down.jpg";
    case SkinPicture::kColourNormal:
      return u"\\color_normal_pink.jpg";
    case SkinPicture::kColourOver:
      return u"\\color_over_red.jpg";
    case SkinPicture::kColourDown:
      return u"\\color_down_purple.jpg";
    case SkinPicture::kColourTileGrey:
      return u"\\color_normal_gray.jpg";
    case SkinPicture::kColourTileBlue:
      return u"\\color_over_blue.jpg";
    case SkinPicture::kDpiSlider:
      return u"\\dpi_slider.jpg";
    case SkinPicture::kWarningNormal:
      return u"\\warning_normal.jpg";
    case SkinPicture::kWarningOver:
      return u"\\warning_over.jpg";
    case SkinPicture::kMenuNormal:
      return u"\\menu_normal.jpg";
    case SkinPicture::kMenuOver:
      return u"\\menu_over.jpg";
    case SkinPicture::kMenuDown:
      return u"\\menu_down.jpg";
    case SkinPicture::kSubMenuNormal:
      return u"\\advanced menu_normal.jpg";
    case SkinPicture::kSubMenuOver:
      return u"\\advanced menu_over.jpg";
    case SkinPicture::kSubMenuDown:
      return u"\\advanced menu_down.jpg";
    case SkinPicture::kCount:
      break;
  }
  return u"";
}

bool ClipCopy(int32_t sourceWidth, int32_t sourceHeight, int32_t targetWidth, int32_t targetHeight,
              CopyBlock& block) {
  int64_t sx = block.sourceX, sy = block.sourceY, x = block.x, y = block.y;
  int64_t w = block.width, h = block.height;
  // Move the start of each axis to where both pictures begin.
  const auto clipStart = [](int64_t& a, int64_t& b, int64_t& length) {
    const int64_t cut = std::max<int64_t>({0, -a, -b});
    a += cut;
    b += cut;
    length -= cut;
  };
  clipStart(sx, x, w);
  clipStart(sy, y, h);
  w = std::min({w, int64_t{sourceWidth} - sx, int64_t{targetWidth} - x});
  h = std::min({h, int64_t{sourceHeight} - sy, int64_t{targetHeight} - y});
  if (w <= 0 || h <= 0) return false;
  // Every value now lies inside a picture, so it fits 32 bits.
  block = {static_cast<int32_t>(sx), static_cast<int32_t>(sy), static_cast<int32_t>(x),
           static_cast<int32_t>(y),  static_cast<int32_t>(w),  static_cast<int32_t>(h)};
  return true;
}

}  // namespace nuv
