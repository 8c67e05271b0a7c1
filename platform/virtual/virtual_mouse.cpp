#include "platform/virtual/virtual_mouse.h"

#include <algorithm>
#include <iterator>

#include "platform/fault_barrier.h"

namespace nuv {

namespace {

constexpr uint16_t kMouseVendor = 0x18F8;
constexpr uint16_t kMouseProduct = 0x0F99;
constexpr uint8_t kFeatureReportId = 7;
constexpr uint8_t kHostHandled = 0x1F;
constexpr uint8_t kPressBase = 0xF0;
// Bytes of the control file read at one poll; a longer run without a line end
// is dropped rather than waited on for ever.
constexpr uintmax_t kControlChunk = 64 * 1024;

bool SamePath(const Text& a, const Text& b) { return EqualsIgnoreCase(a, b); }

// Whether the mouse is plugged where the control file's last plug or unplug
// left it: a mouse unplugged while the program was not running is still out
// when it starts. Lines longer than any command are passed over.
bool PluggedAsTheFileLeftIt(const std::filesystem::path& path) {
  constexpr size_t kLongestLine = 256;
  std::ifstream in(path, std::ios::binary);
  bool plugged = true;
  std::string line;
  bool overlong = false;
  const auto take = [&] {
    const auto command = overlong ? std::nullopt : ParseVirtualControlLine(line);
    if (command && command->kind == VirtualControlCommand::Kind::kUnplug) plugged = false;
    if (command && command->kind == VirtualControlCommand::Kind::kPlug) plugged = true;
    line.clear();
    overlong = false;
  };
  for (std::istreambuf_iterator<char> it(in), end; it != end; ++it) {
    if (*it == '\n') {
      take();
    } else if (line.size() < kLongestLine) {
      line.push_back(*it);
    } else {
      overlong = true;
    }
  }
  return plugged;
}

}  // namespace

// Made once and never destroyed (see the header): a static Text would be
// destroyed at exit while the mouse's thread may still be delivering.
const Text& VirtualMouse::kOtherDevicePath = *new Text(
    u"\\\\?\\hid#vid_0001&pid_0001#virtual&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}");
const Text& VirtualMouse::kInputCollectionPath = *new Text(
    u"\\\\?\\hid#vid_18f8&pid_0f99&col01#virtual&1&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}");
const Text& VirtualMouse::kFeatureCollectionPath = *new Text(
    u"\\\\?\\hid#vid_18f8&pid_0f99&col02#virtual&1&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}");

class VirtualMouse::List : public HidPort::InterfaceList {
 public:
  explicit List(std::vector<Text> paths) : paths_(std::move(paths)) {}
  ListedInterface At(uint32_t index) override {
    if (index >= paths_.size()) return {true, {}};
    return {false, paths_[index]};
  }

 private:
  std::vector<Text> paths_;
};

VirtualMouse::VirtualMouse(VirtualMouseOptions options, DeviceChangeDelivery delivery)
    : options_(std::move(options)), delivery_(std::move(delivery)) {
  if (!options_.tracePath.empty())
    trace_.open(options_.tracePath, std::ios::app | std::ios::binary);
  if (!options_.controlPath.empty()) {
    // Commands left in the file from an earlier run are not replayed.
    plugged_ = PluggedAsTheFileLeftIt(options_.controlPath);
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(options_.controlPath, error);
    controlOffset_ = error ? 0 : size;
    controlPoll_ = options_.controlPollInterval;
    const auto changed = [this] {
      {
        std::lock_guard lock(mutex_);
        controlChanged_ = true;
      }
      wake_.notify_all();
    };
    if (options_.watchControl) watch_ = options_.watchControl(changed);
    if (watch_) controlPoll_ = options_.watchedPollInterval;
  }
  firmware_thread_ = std::thread([this] { FaultBarrier([this] { FirmwareLoop(); }); });
}

VirtualMouse::~VirtualMouse() {
  watch_.reset();  // its calls use this mouse
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  WakeAll();
  firmware_thread_.join();
}

std::unique_ptr<HidPort::InterfaceList> VirtualMouse::ListPresentInterfaces() {
  std::lock_guard lock(mutex_);
  std::vector<Text> paths{kOtherDevicePath};
  if (plugged_) {
    paths.push_back(kInputCollectionPath);
    paths.push_back(kFeatureCollectionPath);
  }
  return std::make_unique<List>(std::move(paths));
}

std::optional<VirtualMouse::Interface> VirtualMouse::PresentInterface(const Text& path) const {
  if (SamePath(path, kOtherDevicePath)) return Interface::kOther;
  if (!plugged_) return std::nullopt;
  if (SamePath(path, kInputCollectionPath)) return Interface::kInput;
  if (SamePath(path, kFeatureCollectionPath)) return Interface::kFeature;
  return std::nullopt;
}

const VirtualMouse::OpenFile* VirtualMouse::Usable(HidHandle handle) const {
  const auto it = files_.find(handle);
  if (it == files_.end()) return nullptr;
  const OpenFile& file = it->second;
  if (file.interface != Interface::kOther && (!plugged_ || file.generation != generation_)) {
    return nullptr;  // the device behind it went away
  }
  return &file;
}

HidHandle VirtualMouse::Open(const Text& path, HidAccess access) {
  std::lock_guard lock(mutex_);
  const auto interface = PresentInterface(path);
  if (!interface) return kInvalidHidHandle;
  const HidHandle handle = nextHandle_;
  nextHandle_ += 4;
  files_[handle] = OpenFile{*interface, access, generation_};
  return handle;
}

void VirtualMouse::Close(HidHandle handle) {
  {
    std::lock_guard lock(mutex_);
    files_.erase(handle);
  }
  WakeAll();
}

std::optional<HidAttributes> VirtualMouse::Attributes(HidHandle handle) {
  std::lock_guard lock(mutex_);
  const OpenFile* file = Usable(handle);
  if (!file) return std::nullopt;
  if (file->interface == Interface::kOther) return HidAttributes{0x0001, 0x0001, 0x0100};
  return HidAttributes{kMouseVendor, kMouseProduct, 0x0100};
}

std::optional<HidCaps> VirtualMouse::Capabilities(HidHandle handle) {
  std::lock_guard lock(mutex_);
  const OpenFile* file = Usable(handle);
  if (!file) return std::nullopt;
  HidCaps caps;
  caps.numberLinkCollectionNodes = 1;
  switch (file->interface) {
    case Interface::kOther:  // a keyboard
      caps.usagePage = 0x01;
      caps.usage = 0x06;
      caps.inputReportByteLength = 9;
      caps.outputReportByteLength = 2;
      break;
    case Interface::kInput:
      caps.usagePage = 0xFF00;
      caps.usage = 1;
      caps.inputReportByteLength = kInputReportLength;
      caps.numberInputValueCaps = 1;
      caps.numberInputDataIndices = 1;
      break;
    case Interface::kFeature:
      caps.usagePage = 0xFF01;
      caps.usage = 1;
      caps.featureReportByteLength = kFeatureReportLength;
      caps.numberFeatureValueCaps = 1;
      caps.numberFeatureDataIndices = 1;
      break;
  }
  return caps;
}

bool VirtualMouse::SetFeature(HidHandle handle, std::span<const uint8_t> report) {
  {
    std::lock_guard lock(mutex_);
    const OpenFile* file = Usable(handle);
    // As with the real class driver: the feature collection, opened for
    // writing, and a buffer of at least the report length.
    if (!file || file->interface != Interface::kFeature || file->access != HidAccess::kWrite ||
        report.size() < kFeatureReportLength) {
      return false;
    }
    const auto bytes = report.first(kFeatureReportLength);
    Trace('F', bytes);
    if (received_.size() == kReceivedLimit) received_.pop_front();
    received_.emplace_back(bytes.begin(), bytes.end());
    Decode(bytes);
  }
  WakeAll();
  return true;
}

void VirtualMouse::Decode(std::span<const uint8_t> report) {
  if (report[0] != kFeatureReportId) return;
  const uint8_t first = report[2];
  const uint8_t second = report[3];
  switch (report[1]) {
    case 0x10:
      if (first >= 1 && first <= 8) {
        firmware_.buttonFunction[first] = second;
        // The firmware takes a moment before it reports host-handled buttons.
        if (second == kHostHandled) {
          readyDue_ = std::chrono::steady_clock::now() + options_.readyDelay;
        }
      }
      break;
    case 0x11:
      firmware_.wheelStatus = first;
      break;
    case 0x09:
      firmware_.dpiLevel = first;
      firmware_.dpiLedByte = second;
      break;
    case 0x12:
      firmware_.fireTimeUnits = first;
      break;
    case 0x20:
      firmware_.exitReceived = true;
      break;
    default:
      break;  // unknown commands are ignored, as firmware does
  }
}

void VirtualMouse::Emit(std::vector<uint8_t> report) {
  if (!plugged_) return;
  report.resize(kInputReportLength, 0);
  Trace('I', report);
  if (inputQueue_.size() == kInputQueueLimit) inputQueue_.pop_front();
  inputQueue_.push_back(std::move(report));
}

void VirtualMouse::Trace(char kind, std::span<const uint8_t> bytes) {
  if (!trace_.is_open()) return;
  const auto now = std::chrono::steady_clock::now();
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string line(1, kind);
  for (uint8_t b : bytes) {
    line += ' ';
    line += kHex[b >> 4];
    line += kHex[b & 15];
  }
  if (traceTimes_) {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch());
    line += " @" + std::to_string(us.count());
  }
  line += '\n';
  trace_ << line;
  trace_.flush();
}

// Every change a blocked reader waits for signals the wake; this is only a
// safety net, rare enough to cost nothing while idle.
constexpr auto kReaderSafetyWait = std::chrono::minutes(1);

std::optional<size_t> VirtualMouse::ReadInputReport(HidHandle handle, std::span<uint8_t> buffer) {
  std::unique_lock lock(mutex_);
  const auto readable = [&] {
    const OpenFile* file = Usable(handle);
    return file && file->interface == Interface::kInput && file->access == HidAccess::kRead;
  };
  if (!readable() || buffer.size() < kInputReportLength) return std::nullopt;
  const auto ready = [&] { return stopping_ || !readable() || !inputQueue_.empty(); };
  if (options_.readerWake != nullptr) {
    lock.unlock();
    const auto ready_locked = [&] {
      std::lock_guard relock(mutex_);
      return ready();
    };
    while (!ready_locked()) options_.readerWake->Wait(kReaderSafetyWait, ready_locked);
    lock.lock();
  }
  wake_.wait(lock, ready);
  if (stopping_ || !readable()) return std::nullopt;
  const std::vector<uint8_t> report = std::move(inputQueue_.front());
  inputQueue_.pop_front();
  std::copy(report.begin(), report.end(), buffer.begin());
  return report.size();
}

void VirtualMouse::WakeAll() {
  wake_.notify_all();
  if (options_.readerWake != nullptr) options_.readerWake->Signal();
}

void VirtualMouse::RegisterInterfaceNotifications(WindowId recipient) {
  std::lock_guard lock(mutex_);
  registrations_.push_back(recipient);
}

void VirtualMouse::PressButton(int device_button) {
  {
    std::lock_guard lock(mutex_);
    if (device_button < 1 || device_button > 8 || !plugged_) return;
    if (firmware_.buttonFunction[static_cast<size_t>(device_button)] != kHostHandled) return;
    pressedButton_ = device_button;
    Emit({kButtonReportId, static_cast<uint8_t>(kPressBase + device_button)});
  }
  WakeAll();
}

void VirtualMouse::ReleaseButton() {
  {
    std::lock_guard lock(mutex_);
    if (pressedButton_ == 0) return;
    pressedButton_ = 0;
    Emit({kButtonReportId, 0});
  }
  WakeAll();
}

void VirtualMouse::SendInputReport(std::span<const uint8_t> bytes) {
  {
    std::lock_guard lock(mutex_);
    Emit(std::vector<uint8_t>(bytes.begin(),
                              bytes.begin() + std::min<size_t>(bytes.size(), kInputReportLength)));
  }
  WakeAll();
}

void VirtualMouse::Unplug() {
  {
    std::lock_guard lock(mutex_);
    if (!plugged_) return;
    plugged_ = false;
    ++generation_;
    inputQueue_.clear();
    readyDue_.reset();
    pressedButton_ = 0;
  }
  WakeAll();
  Deliver(kDeviceRemoveComplete);
}

void VirtualMouse::Plug() {
  {
    std::lock_guard lock(mutex_);
    if (plugged_) return;
    plugged_ = true;
    firmware_ = VirtualFirmwareState{};
  }
  Deliver(kDeviceArrival);
}

void VirtualMouse::Deliver(uint32_t event) {
  if (!delivery_) return;
  std::vector<WindowId> windows;
  {
    std::lock_guard lock(mutex_);
    windows = registrations_;
  }
  // No lock is held here: the recipient may search the device at once.
  for (const Text* path : {&kInputCollectionPath, &kFeatureCollectionPath}) {
    for (WindowId window : windows) delivery_(window, event, *path);
  }
}

bool VirtualMouse::ExecuteControlLine(std::string_view line) {
  const auto command = ParseVirtualControlLine(line);
  if (!command) return false;
  using Kind = VirtualControlCommand::Kind;
  switch (command->kind) {
    case Kind::kPress:
      PressButton(command->button);
      break;
    case Kind::kRelease:
      ReleaseButton();
      break;
    case Kind::kClick:
      PressButton(command->button);
      ReleaseButton();
      break;
    case Kind::kReport:
      SendInputReport(command->bytes);
      break;
    case Kind::kUnplug:
      Unplug();
      break;
    case Kind::kPlug:
      Plug();
      break;
    case Kind::kTimestamps: {
      std::lock_guard lock(mutex_);
      traceTimes_ = true;
      break;
    }
  }
  return true;
}

bool VirtualMouse::plugged() const {
  std::lock_guard lock(mutex_);
  return plugged_;
}

VirtualFirmwareState VirtualMouse::Firmware() const {
  std::lock_guard lock(mutex_);
  return firmware_;
}

std::vector<std::vector<uint8_t>> VirtualMouse::ReceivedFeatureReports() const {
  std::lock_guard lock(mutex_);
  return {received_.begin(), received_.end()};
}

size_t VirtualMouse::RegistrationCount() const {
  std::lock_guard lock(mutex_);
  return registrations_.size();
}

std::vector<std::string> VirtualMouse::TakeControlLines() {
  std::vector<std::string> lines;
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(options_.controlPath, error);
  if (error) {
    controlOffset_ = 0;  // a file created later is read from its start
    return lines;
  }
  if (size < controlOffset_) controlOffset_ = 0;  // emptied by the companion
  if (size == controlOffset_) return lines;
  std::ifstream in(options_.controlPath, std::ios::binary);
  if (!in) return lines;
  const uintmax_t wanted = std::min(size - controlOffset_, kControlChunk);
  std::string chunk(static_cast<size_t>(wanted), '\0');
  in.seekg(static_cast<std::streamoff>(controlOffset_));
  in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
  chunk.resize(static_cast<size_t>(in.gcount()));
  const size_t last_end = chunk.rfind('\n');
  if (last_end == std::string::npos) {
    // A half-written line waits for its end, unless it fills a whole chunk.
    if (chunk.size() == kControlChunk) controlOffset_ += chunk.size();
    return lines;
  }
  controlOffset_ += last_end + 1;
  size_t start = 0;
  while (start <= last_end) {
    const size_t end = chunk.find('\n', start);
    lines.push_back(chunk.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void VirtualMouse::FirmwareLoop() {
  using Clock = std::chrono::steady_clock;
  const bool controlled = !options_.controlPath.empty();
  auto next_poll = Clock::now() + controlPoll_;
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    auto wake_at = Clock::time_point::max();
    if (controlled) wake_at = next_poll;
    if (readyDue_) wake_at = std::min(wake_at, *readyDue_);
    if (controlChanged_) wake_at = Clock::time_point::min();
    if (wake_at == Clock::time_point::max()) {
      wake_.wait(lock);
    } else if (wake_at > Clock::now()) {
      wake_.wait_until(lock, wake_at);
    }
    if (stopping_) break;
    const auto now = Clock::now();
    if (readyDue_ && now >= *readyDue_) {
      readyDue_.reset();
      Emit({kReadyReportId, 0});
      lock.unlock();
      WakeAll();
      lock.lock();
    }
    if (controlled && (controlChanged_ || now >= next_poll)) {
      controlChanged_ = false;
      next_poll = now + controlPoll_;
      lock.unlock();
      for (const std::string& line : TakeControlLines()) ExecuteControlLine(line);
      lock.lock();
    }
  }
}

}  // namespace nuv
