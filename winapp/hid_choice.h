// The choice between the mouse and its virtual stand-in.
#pragma once

#include <memory>

#include "platform/hid_port.h"
#include "platform/text.h"
#include "platform/wake_port.h"

namespace nuv::win32 {

// The names of the virtual mouse's files in the application folder, the only
// place it reads or writes them: that folder is as trusted as the program.
constexpr char16_t kVirtualMouseControlFile[] = u"virtual_mouse.ctl";
constexpr char16_t kVirtualMouseTraceFile[] = u"virtual_mouse.trace";

// The virtual mouse when `virtual_mouse` (the command line's -VIRTUALMOUSE)
// is set: it follows virtual_mouse.ctl and appends every report to
// virtual_mouse.trace, both in the application folder, and wakes a blocked
// reader through `reader_wake` (may be null), which must live as long as the
// mouse. The system's HID services otherwise.
std::unique_ptr<HidPort> CreateHidPort(const Text& application_folder, bool virtual_mouse,
                                       WakePort* reader_wake);

}  // namespace nuv::win32
