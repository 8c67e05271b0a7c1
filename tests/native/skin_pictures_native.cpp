#include "platform/host/host_picture.h"
#include "skin_test_support.h"

namespace nuv::test {

std::unique_ptr<PicturePort> PicturesUnderTest() { return std::make_unique<HostJpegPictures>(); }

}  // namespace nuv::test
