// The record that comes with a device-change event: size, device type, a
// reserved word, and for device interfaces the interface class identifier and
// the interface path as NUL-terminated UTF-16 text.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/hid_port.h"
#include "platform/text.h"

namespace nuv {

struct DeviceBroadcast {
  uint32_t deviceType = 0;
  Text path;  // device interfaces only
};

// Byte offsets of the record's fields (little-endian).
constexpr size_t kBroadcastHeaderSize = 12;
constexpr size_t kBroadcastPathOffset = 28;

// Reads a record whose first field gives its own size. `bytes` is what may be
// read; a size field smaller than the header or larger than `bytes` gives
// nothing. The path ends at its NUL or at the record's end.
std::optional<DeviceBroadcast> ParseDeviceBroadcast(std::span<const uint8_t> bytes);

// A device-interface record for `path` with the HID interface class, laid out
// as the window system delivers it.
std::vector<uint8_t> EncodeDeviceBroadcast(const Text& path);

}  // namespace nuv
