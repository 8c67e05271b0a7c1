#include "device/device_link.h"

namespace nuv {

bool PathMatches(const DeviceLink& link, const DeviceBroadcast& broadcast) {
  // An empty stored path means the mouse has not been seen in this run; a
  // record without a path must not count as "the same device" then.
  if (link.devicePath.empty()) return false;
  return broadcast.deviceType == kDeviceTypeInterface &&
         EqualsIgnoreCase(broadcast.path, link.devicePath);
}

uint8_t DeviceConnection::Search() {
  auto list = hid_.ListPresentInterfaces();
  // A PC with many keyboards, headsets, pens and sensors lists hundreds of
  // HID collections: the search ends only where the list does.
  for (uint32_t index = 0; list; ++index) {
    const HidPort::ListedInterface listed = list->At(index);
    if (listed.end) break;
    // An interface that cannot be read is passed over, not the end of the list.
    if (!listed.path) continue;
    const Text& path = *listed.path;

    const HidHandle query = hid_.Open(path, HidAccess::kQuery);
    const std::optional<HidAttributes> attributes = hid_.Attributes(query);
    link_.connected = 0;
    if (!attributes || attributes->vendorId != link_.vendorId ||
        attributes->productId != link_.productId) {
      hid_.Close(query);
      continue;
    }

    link_.connected = 1;
    link_.devicePath = path;
    const HidCaps caps = hid_.Capabilities(query).value_or(HidCaps{});
    hid_.Close(query);

    // A collection found by an earlier search keeps its handle.
    if (caps.usage == kVendorCollectionUsage) {
      if (caps.usagePage == kInputCollectionUsagePage && link_.readHandle == kNullHidHandle) {
        link_.readCaps = caps;
        link_.inputReportLength = caps.inputReportByteLength;
        link_.readHandle = hid_.Open(path, HidAccess::kRead);
      } else if (caps.usagePage == kFeatureCollectionUsagePage &&
                 link_.writeHandle == kNullHidHandle) {
        link_.writeCaps = caps;
        link_.featureReportLength = caps.featureReportByteLength;
        link_.writeHandle = hid_.Open(path, HidAccess::kWrite);
      }
    }
    // A handle whose opening failed counts as present: the mouse was found.
    if (link_.readHandle != kNullHidHandle && link_.writeHandle != kNullHidHandle) break;
  }
  return link_.connected;
}

void DeviceConnection::WatchInterfaces() {
  if (watching_) return;
  watching_ = true;
  hid_.RegisterInterfaceNotifications(window);
}

bool DeviceConnection::Complete() const {
  return link_.readHandle != kNullHidHandle && link_.writeHandle != kNullHidHandle;
}

bool DeviceConnection::OnDeviceChange(uint32_t event, const DeviceBroadcast* broadcast) {
  if (!broadcast || !PathMatches(link_, *broadcast)) return true;
  if (event == kDeviceArrival) {
    // Only the link is restored; the settings are not sent again.
    if (link_.connected == 0) link_.connected = Search();
  } else if (event == kDeviceRemoveComplete) {
    RunDeviceRemovalSequence(link_.connected, removalSeams);
  }
  return true;
}

Text MissingMouseMessage(int32_t language_selection) {
  if (language_selection != 0) return u"Please plug-in\u3010QUARVEL 241-7730\u3011USB Mouse";
  return u"Por favor, conecte o mouse ao computador!";
}

void ReportMissingMouse(MessagePort& messages, int32_t language_selection, const Text& caption) {
  messages.Show(MissingMouseMessage(language_selection), caption);
}

}  // namespace nuv
