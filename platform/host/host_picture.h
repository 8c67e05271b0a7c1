// JPEG decoding for the native build (libjpeg), so that tests decode the
// shipped skin pictures exactly as the program uses them.
#pragma once

#ifndef _WIN32

#include "platform/picture_port.h"

namespace nuv {

class HostJpegPictures : public PicturePort {
 public:
  bool Load(const Text& path, Picture& out) override;
  // Decodes JPEG bytes held in memory (for the fuzz target and tests).
  static bool Decode(const unsigned char* data, size_t size, Picture& out);
};

}  // namespace nuv

#endif
