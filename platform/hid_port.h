// The HID class services the device link needs: the present HID interfaces by
// index, opening an interface path, its identifiers and top-level collection
// capabilities, feature reports out, input reports in, and notice of interfaces
// arriving and going away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "platform/text.h"

namespace nuv {

// A device file. Null: never opened. Invalid (all bits set): opening failed.
// Calls with either simply fail.
using HidHandle = uintptr_t;
constexpr HidHandle kNullHidHandle = 0;
constexpr HidHandle kInvalidHidHandle = ~HidHandle{0};

// The window that is told about device-interface changes (a window handle on
// Windows; only the adapter looks inside it).
using WindowId = uintptr_t;

enum class HidAccess { kQuery, kRead, kWrite };

struct HidAttributes {
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  uint16_t versionNumber = 0;
};

// The top-level collection's capabilities, whole. Report lengths include the
// report identifier byte.
struct HidCaps {
  uint16_t usage = 0;
  uint16_t usagePage = 0;
  uint16_t inputReportByteLength = 0;
  uint16_t outputReportByteLength = 0;
  uint16_t featureReportByteLength = 0;
  uint16_t numberLinkCollectionNodes = 0;
  uint16_t numberInputButtonCaps = 0;
  uint16_t numberInputValueCaps = 0;
  uint16_t numberInputDataIndices = 0;
  uint16_t numberOutputButtonCaps = 0;
  uint16_t numberOutputValueCaps = 0;
  uint16_t numberOutputDataIndices = 0;
  uint16_t numberFeatureButtonCaps = 0;
  uint16_t numberFeatureValueCaps = 0;
  uint16_t numberFeatureDataIndices = 0;
};

// Device-change events as the window system numbers them.
constexpr uint32_t kDeviceArrival = 0x8000;
constexpr uint32_t kDeviceRemoveComplete = 0x8004;
// Device type of a device-interface broadcast.
constexpr uint32_t kDeviceTypeInterface = 5;

class HidPort {
 public:
  // What the list holds at one index.
  struct ListedInterface {
    // The system lists nothing at this index, nor after it.
    bool end = false;
    // The interface's path; nothing when it could not be read (the index is
    // passed over).
    std::optional<Text> path;
  };

  // The HID interfaces present when it was taken; freed with the object.
  class InterfaceList {
   public:
    virtual ~InterfaceList() = default;
    virtual ListedInterface At(uint32_t index) = 0;
  };

  virtual ~HidPort() = default;

  virtual std::unique_ptr<InterfaceList> ListPresentInterfaces() = 0;
  // Shared for reading and writing, existing object only. Failure gives
  // kInvalidHidHandle.
  virtual HidHandle Open(const Text& path, HidAccess access) = 0;
  virtual void Close(HidHandle handle) = 0;
  virtual std::optional<HidAttributes> Attributes(HidHandle handle) = 0;
  virtual std::optional<HidCaps> Capabilities(HidHandle handle) = 0;
  // Sends `report` (report identifier first) as a feature report.
  virtual bool SetFeature(HidHandle handle, std::span<const uint8_t> report) = 0;
  // Waits until the device sends an input report and copies it into `buffer`
  // (which must hold the collection's input report length). Returns the bytes
  // read; nothing when the read fails, at once for a null or invalid handle.
  virtual std::optional<size_t> ReadInputReport(HidHandle handle, std::span<uint8_t> buffer) = 0;
  // From now on `recipient` hears of HID interfaces arriving and being removed.
  // Every call adds a registration (each then hears every event); none is
  // undone.
  virtual void RegisterInterfaceNotifications(WindowId recipient) = 0;
};

}  // namespace nuv
