#include "platform/device_broadcast.h"

#include <array>

namespace nuv {

namespace {

uint32_t ReadU32(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
         static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// {4D1E55B2-F16F-11CF-88CB-001111000030}, as the GUID structure lies in memory.
constexpr std::array<uint8_t, 16> kHidInterfaceClass = {
    0xB2, 0x55, 0x1E, 0x4D, 0x6F, 0xF1, 0xCF, 0x11, 0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30};

}  // namespace

std::optional<DeviceBroadcast> ParseDeviceBroadcast(std::span<const uint8_t> bytes) {
  if (bytes.size() < kBroadcastHeaderSize) return std::nullopt;
  const uint32_t size = ReadU32(bytes, 0);
  if (size < kBroadcastHeaderSize || size > bytes.size()) return std::nullopt;
  const auto record = bytes.first(size);
  DeviceBroadcast broadcast;
  broadcast.deviceType = ReadU32(record, 4);
  if (broadcast.deviceType != kDeviceTypeInterface) return broadcast;
  for (size_t at = kBroadcastPathOffset; at + 1 < record.size(); at += 2) {
    const auto unit = static_cast<char16_t>(record[at] | record[at + 1] << 8);
    if (unit == 0) break;
    broadcast.path.push_back(unit);
  }
  return broadcast;
}

std::vector<uint8_t> EncodeDeviceBroadcast(const Text& path) {
  std::vector<uint8_t> out;
  const size_t size = kBroadcastPathOffset + 2 * (path.size() + 1);
  out.reserve(size);
  PutU32(out, static_cast<uint32_t>(size));
  PutU32(out, kDeviceTypeInterface);
  PutU32(out, 0);
  out.insert(out.end(), kHidInterfaceClass.begin(), kHidInterfaceClass.end());
  for (char16_t c : path) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

}  // namespace nuv
