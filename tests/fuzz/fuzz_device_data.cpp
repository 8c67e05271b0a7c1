// Everything that reads bytes coming from a device or from outside the
// program's own code: device-change records, the virtual mouse's feature
// report decoding and its control channel.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/device_broadcast.h"
#include "platform/virtual/virtual_mouse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  if (auto broadcast = nuv::ParseDeviceBroadcast(bytes)) {
    // The path never reaches past the record's own size.
    if (!broadcast->path.empty() && broadcast->path.size() * 2 + nuv::kBroadcastPathOffset > size) {
      __builtin_trap();
    }
  }

  static nuv::VirtualMouse mouse;
  const nuv::HidHandle write =
      mouse.Open(nuv::VirtualMouse::kFeatureCollectionPath, nuv::HidAccess::kWrite);
  mouse.SetFeature(write, bytes);
  mouse.Close(write);

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    mouse.ExecuteControlLine(text.substr(start, end - start));
    start = end + 1;
  }
  mouse.Plug();  // the next input starts with the mouse present
  return 0;
}
