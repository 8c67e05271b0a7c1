// System regions from the portable window shape.
#pragma once

#include <windows.h>

#include "platform/picture_port.h"
#include "ui/skin_shape.h"

namespace nuv::win32 {

// A region covering exactly the pixels of `region`, built from its bands of
// runs in a few calls instead of one call per pixel. The caller owns the result.
HRGN CreateRegionFrom(const PixelRegion& region);

// The mask rule applied literally, one 1-by-1 exclusive-or per transparent
// pixel, column by column. Slow; kept to check CreateRegionFrom against it.
HRGN CreateRegionPixelByPixel(const Picture& mask);

}  // namespace nuv::win32
