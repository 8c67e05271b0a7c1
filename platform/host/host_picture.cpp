#include "platform/host/host_picture.h"

#ifndef _WIN32

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

// jpeglib.h expects FILE and size_t to be declared before it.
#include <jpeglib.h>

namespace nuv {

namespace {

struct ErrorTrap {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
  auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
  std::longjmp(trap->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr) {}

// Runs libjpeg with only trivially destructible locals in this frame, so that a
// longjmp out of the library skips no destructor. `pixels` was sized by the
// caller's callback before any row is written.
bool DecodeInto(const unsigned char* data, size_t size, Picture& out) {
  jpeg_decompress_struct info{};
  ErrorTrap trap{};
  info.err = jpeg_std_error(&trap.manager);
  trap.manager.error_exit = OnJpegError;
  trap.manager.output_message = IgnoreJpegMessage;
  if (setjmp(trap.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width == 0 ||
      info.image_height == 0 || info.image_width > static_cast<JDIMENSION>(kMaxPictureSide) ||
      info.image_height > static_cast<JDIMENSION>(kMaxPictureSide)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const size_t stride = static_cast<size_t>(info.output_width) * 3;
  out.rgb.resize(stride * info.output_height);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out.rgb.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  out.width = static_cast<int32_t>(info.output_width);
  out.height = static_cast<int32_t>(info.output_height);
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

bool HostJpegPictures::Decode(const unsigned char* data, size_t size, Picture& out) {
  out = Picture{};
  if (data == nullptr || size == 0) return false;
  if (!DecodeInto(data, size, out)) {
    out = Picture{};
    return false;
  }
  return true;
}

bool HostJpegPictures::Load(const Text& path, Picture& out) {
  out = Picture{};
  Text slashes = path;
  for (auto& c : slashes) {
    if (c == u'\\') c = u'/';
  }
  std::ifstream in(Narrow(slashes), std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return Decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out);
}

}  // namespace nuv

#endif
