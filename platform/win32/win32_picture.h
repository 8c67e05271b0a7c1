// JPEG decoding through GDI+. GDI+ is started by the first decoder object's
// first load and shut down when the last decoder object is destroyed.
#pragma once

#include "platform/picture_port.h"

namespace nuv::win32 {

class GdiplusPictures : public PicturePort {
 public:
  GdiplusPictures();
  ~GdiplusPictures() override;
  GdiplusPictures(const GdiplusPictures&) = delete;
  GdiplusPictures& operator=(const GdiplusPictures&) = delete;

  bool Load(const Text& path, Picture& out) override;
};

// Whether the file exists (the existence check before a skin file is read).
bool FileExists(const Text& path);

}  // namespace nuv::win32
