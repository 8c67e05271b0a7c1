#include "platform/win32/win32_hid.h"

#include <dbt.h>
#include <setupapi.h>

#include <vector>

extern "C" {
#include <hidsdi.h>
}

#include "platform/win32/system_library.h"
#include "platform/win32/win32_text.h"

namespace nuv::win32 {

namespace {

HANDLE H(HidHandle handle) { return reinterpret_cast<HANDLE>(handle); }

// hid.dll is no KnownDLL, so it is not imported but loaded from the system
// folder (see system_library.h). Without it, or without one of these
// functions, the port finds no device.
struct HidFunctions {
  decltype(&HidD_GetHidGuid) getHidGuid = nullptr;
  decltype(&HidD_GetAttributes) getAttributes = nullptr;
  decltype(&HidD_GetPreparsedData) getPreparsedData = nullptr;
  decltype(&HidD_FreePreparsedData) freePreparsedData = nullptr;
  decltype(&HidP_GetCaps) getCaps = nullptr;
  decltype(&HidD_SetFeature) setFeature = nullptr;

  bool complete() const {
    return getHidGuid && getAttributes && getPreparsedData && freePreparsedData && getCaps &&
           setFeature;
  }
};

// Looked up once; plain pointers, so nothing is destroyed at exit.
const HidFunctions& Hid() {
  static const HidFunctions functions = [] {
    const SystemLibrary hid(L"hid.dll");  // the DLL stays loaded (see SystemLibrary)
    const SystemLibrary* const library = &hid;
    HidFunctions f;
    f.getHidGuid = library->Function<decltype(&HidD_GetHidGuid)>("HidD_GetHidGuid");
    f.getAttributes = library->Function<decltype(&HidD_GetAttributes)>("HidD_GetAttributes");
    f.getPreparsedData =
        library->Function<decltype(&HidD_GetPreparsedData)>("HidD_GetPreparsedData");
    f.freePreparsedData =
        library->Function<decltype(&HidD_FreePreparsedData)>("HidD_FreePreparsedData");
    f.getCaps = library->Function<decltype(&HidP_GetCaps)>("HidP_GetCaps");
    f.setFeature = library->Function<decltype(&HidD_SetFeature)>("HidD_SetFeature");
    return f.complete() ? f : HidFunctions{};
  }();
  return functions;
}

// A null handle was never opened, the invalid one failed to open: the system
// is not asked about either.
bool Usable(HidHandle handle) { return handle != kNullHidHandle && handle != kInvalidHidHandle; }

class SetupInterfaceList : public HidPort::InterfaceList {
 public:
  SetupInterfaceList(HDEVINFO info, GUID hid_class) : info_(info), class_(hid_class) {}
  ~SetupInterfaceList() override { SetupDiDestroyDeviceInfoList(info_); }
  SetupInterfaceList(const SetupInterfaceList&) = delete;
  SetupInterfaceList& operator=(const SetupInterfaceList&) = delete;

  HidPort::ListedInterface At(uint32_t index) override {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    // The set is a snapshot whose indices run without gaps: the first index
    // the system cannot enumerate (ERROR_NO_MORE_ITEMS, or a set it cannot
    // read further) ends it.
    if (!SetupDiEnumDeviceInterfaces(info_, nullptr, &class_, index, &data)) return {true, {}};
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailW(info_, &data, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return {};
    // DWORD-sized elements keep the record aligned as the system expects.
    std::vector<DWORD> buffer((required + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(info_, &data, detail, required, nullptr, nullptr)) {
      return {};
    }
    // The path ends at its NUL or at the end of what the system filled in.
    const size_t offset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
    const size_t capacity = (required - offset) / sizeof(wchar_t);
    size_t length = 0;
    while (length < capacity && detail->DevicePath[length] != L'\0') ++length;
    return {false, FromW(detail->DevicePath, length)};
  }

 private:
  HDEVINFO info_;
  GUID class_;
};

}  // namespace

std::unique_ptr<HidPort::InterfaceList> Win32HidPort::ListPresentInterfaces() {
  const HidFunctions& hid = Hid();
  if (!hid.complete()) return nullptr;
  GUID hid_class;
  hid.getHidGuid(&hid_class);
  HDEVINFO info =
      SetupDiGetClassDevsW(&hid_class, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (info == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<SetupInterfaceList>(info, hid_class);
}

HidHandle Win32HidPort::Open(const Text& path, HidAccess access) {
  DWORD rights = 0;
  if (access == HidAccess::kRead) rights = GENERIC_READ;
  if (access == HidAccess::kWrite) rights = GENERIC_WRITE;
  HANDLE file = CreateFileW(W(path), rights, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  return reinterpret_cast<HidHandle>(file);
}

void Win32HidPort::Close(HidHandle handle) {
  if (Usable(handle)) CloseHandle(H(handle));
}

std::optional<HidAttributes> Win32HidPort::Attributes(HidHandle handle) {
  const HidFunctions& hid = Hid();
  if (!Usable(handle) || !hid.complete()) return std::nullopt;
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof(attributes);
  if (!hid.getAttributes(H(handle), &attributes)) return std::nullopt;
  return HidAttributes{attributes.VendorID, attributes.ProductID, attributes.VersionNumber};
}

std::optional<HidCaps> Win32HidPort::Capabilities(HidHandle handle) {
  const HidFunctions& hid = Hid();
  if (!Usable(handle) || !hid.complete()) return std::nullopt;
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (!hid.getPreparsedData(H(handle), &preparsed)) return std::nullopt;
  HIDP_CAPS c{};
  const NTSTATUS status = hid.getCaps(preparsed, &c);
  hid.freePreparsedData(preparsed);
  if (status != HIDP_STATUS_SUCCESS) return std::nullopt;
  HidCaps caps;
  caps.usage = c.Usage;
  caps.usagePage = c.UsagePage;
  caps.inputReportByteLength = c.InputReportByteLength;
  caps.outputReportByteLength = c.OutputReportByteLength;
  caps.featureReportByteLength = c.FeatureReportByteLength;
  caps.numberLinkCollectionNodes = c.NumberLinkCollectionNodes;
  caps.numberInputButtonCaps = c.NumberInputButtonCaps;
  caps.numberInputValueCaps = c.NumberInputValueCaps;
  caps.numberInputDataIndices = c.NumberInputDataIndices;
  caps.numberOutputButtonCaps = c.NumberOutputButtonCaps;
  caps.numberOutputValueCaps = c.NumberOutputValueCaps;
  caps.numberOutputDataIndices = c.NumberOutputDataIndices;
  caps.numberFeatureButtonCaps = c.NumberFeatureButtonCaps;
  caps.numberFeatureValueCaps = c.NumberFeatureValueCaps;
  caps.numberFeatureDataIndices = c.NumberFeatureDataIndices;
  return caps;
}

bool Win32HidPort::SetFeature(HidHandle handle, std::span<const uint8_t> report) {
  const HidFunctions& hid = Hid();
  if (!Usable(handle) || report.empty() || !hid.complete()) return false;
  // The class driver reads the buffer only; its declaration is not const.
  return hid.setFeature(H(handle), const_cast<uint8_t*>(report.data()),
                        static_cast<ULONG>(report.size())) != FALSE;
}

std::optional<size_t> Win32HidPort::ReadInputReport(HidHandle handle, std::span<uint8_t> buffer) {
  if (!Usable(handle)) return std::nullopt;
  DWORD read = 0;
  if (!ReadFile(H(handle), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
    return std::nullopt;
  }
  return static_cast<size_t>(read);
}

void Win32HidPort::RegisterInterfaceNotifications(WindowId recipient) {
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof(filter);
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  const HidFunctions& hid = Hid();
  if (!hid.complete()) return;  // no HID services: no interface ever arrives
  hid.getHidGuid(&filter.dbcc_classguid);
  // Kept until the process ends.
  RegisterDeviceNotificationW(reinterpret_cast<HWND>(recipient), &filter,
                              DEVICE_NOTIFY_WINDOW_HANDLE);
}

std::optional<DeviceBroadcast> DecodeDeviceChange(LPARAM record) {
  if (record == 0) return std::nullopt;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(record);
  // The record says how long it is; a size beyond any interface path is not
  // believed.
  const size_t size = std::min<size_t>(header->dbch_size, kBroadcastPathOffset + 2 * 32768);
  return ParseDeviceBroadcast(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(record), size));
}

void SendDeviceChange(HWND window, uint32_t event, const Text& path) {
  std::vector<uint8_t> record = EncodeDeviceBroadcast(path);
  SendMessageW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record.data()));
}

}  // namespace nuv::win32
