#include "platform/win32/win32_picture.h"
#include "skin_test_support.h"

namespace nuv::test {

std::unique_ptr<PicturePort> PicturesUnderTest() {
  return std::make_unique<win32::GdiplusPictures>();
}

}  // namespace nuv::test
