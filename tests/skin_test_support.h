// Helpers of the skin tests: the build's picture decoder and the shipped skins.
#pragma once

#include <memory>

#include "platform/picture_port.h"
#include "platform/text.h"

namespace nuv::test {

// The decoder the program uses on this platform: libjpeg natively, GDI+ on Windows.
std::unique_ptr<PicturePort> PicturesUnderTest();

// The repository's skins folder, as the system names it.
Text ShippedSkinFolder();

}  // namespace nuv::test
