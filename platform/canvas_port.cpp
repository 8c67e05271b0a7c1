#include "platform/canvas_port.h"

namespace nuv {

const char16_t* SkinPictureFileName(SkinPicture picture) {
  switch (picture) {
    case SkinPicture::kMainNormal: return u"\\main_normal.jpg";
    case SkinPicture::kMainOver: return u"\\main_over.jpg";
    case SkinPicture::kMainDown: return u"\\main_down.jpg";
    case SkinPicture::kAdvancedNormal: return u"\\advanced_normal.jpg";
    case SkinPicture::kAdvancedOver: return u"\\advanced_over.jpg";
    case SkinPicture::kAdvancedDown: return u"\\advanced_down.jpg";
    case SkinPicture::kColourNormal: return u"\\color_normal_pink.jpg";
    case SkinPicture::kColourOver: return u"\\color_over_red.jpg";
    case SkinPicture::kColourDown: return u"\\color_down_purple.jpg";
    case SkinPicture::kColourTileGrey: return u"\\color_normal_gray.jpg";
    case SkinPicture::kColourTileBlue: return u"\\color_over_blue.jpg";
    case SkinPicture::kDpiSlider: return u"\\dpi_slider.jpg";
    case SkinPicture::kCount: break;
  }
  return u"";
}

}  // namespace nuv
