// Finding the mouse among the HID interfaces, opening its two vendor
// collections (input reports from one, feature reports to the other), and
// following its interface as it arrives and goes away.
#pragma once

#include <cstdint>

#include "app/startup.h"
#include "platform/atomic_field.h"
#include "platform/device_broadcast.h"
#include "platform/hid_port.h"
#include "platform/message_port.h"
#include "platform/text.h"

namespace nuv {

constexpr uint32_t kMouseVendorId = 0x18F8;
constexpr uint32_t kMouseProductId = 0x0F99;
constexpr uint16_t kInputCollectionUsagePage = 0xFF00;
constexpr uint16_t kFeatureCollectionUsagePage = 0xFF01;
constexpr uint16_t kVendorCollectionUsage = 1;
// The one device link of the process. The window thread writes it (search and
// device changes); the input reader, the executor and the report sender read the
// handles, the report lengths and the connected flag at any moment.
struct DeviceLink {
  uint32_t vendorId = kMouseVendorId;
  uint32_t productId = kMouseProductId;
  AtomicField<HidHandle> readHandle{kNullHidHandle};
  AtomicField<HidHandle> writeHandle{kNullHidHandle};
  // Whole records, for the window thread.
  HidCaps readCaps;
  HidCaps writeCaps;
  // Copies of the two lengths the worker threads need.
  AtomicField<uint16_t> inputReportLength{0};
  AtomicField<uint16_t> featureReportLength{0};
  // Path of the last interface found with the mouse's identifiers.
  Text devicePath;
  AtomicField<uint8_t> connected{0};
  // Whether this copy acts on the mouse: sends reports, performs the buttons
  // the PC handles, plays macros. Off while the user's session is away from
  // the console (another user at the screen runs a copy of their own).
  AtomicField<uint8_t> acting{1};
};

// True for a device-interface broadcast whose path is the stored device path in
// any letter case. Before the mouse was ever found nothing matches.
bool PathMatches(const DeviceLink& link, const DeviceBroadcast& broadcast);

class DeviceConnection {
 public:
  DeviceConnection(HidPort& hid, DeviceLink& link) : hid_(hid), link_(link) {}

  // The main window: told about later interface changes.
  WindowId window = 0;
  // What removal of the mouse hands on to the window (tray icon, destroy).
  ShutdownSeams removalSeams;

  // Looks at the interfaces until the system lists no more, opens the mouse's
  // two collections (each only while its handle is not set), stops when both
  // handles are set. Returns (and leaves in the link) the connected flag.
  uint8_t Search();

  // The window hears of HID interfaces arriving and going away; one
  // registration however often it is asked (each would deliver every event
  // once more).
  void WatchInterfaces();

  // Both collections have a handle: the mouse can be read and configured.
  bool Complete() const;

  // WM_DEVICECHANGE: arrival of the stored path while not connected searches
  // again; removal of the stored path runs the device-removal sequence. Always
  // true. `broadcast` may be absent (events without a record).
  bool OnDeviceChange(uint32_t event, const DeviceBroadcast* broadcast);

 private:
  HidPort& hid_;
  DeviceLink& link_;
  bool watching_ = false;
};

// The missing-mouse message of the interface language (non-zero: English).
Text MissingMouseMessage(int32_t language_selection);
void ReportMissingMouse(MessagePort& messages, int32_t language_selection, const Text& caption);

}  // namespace nuv
