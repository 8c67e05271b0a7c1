// The choice between the mouse and its virtual stand-in.
#pragma once

#include <memory>
#include <optional>

#include "platform/hid_port.h"
#include "platform/text.h"

namespace nuv::win32 {

// The virtual mouse when NUV_TALV_VIRTUAL_MOUSE is "1" (trace file from
// NUV_TALV_VIRTUAL_MOUSE_TRACE, control file from NUV_TALV_VIRTUAL_MOUSE_CONTROL
// or "virtual_mouse.ctl" in the application folder); the system's HID services
// otherwise.
std::unique_ptr<HidPort> CreateHidPort(const Text& application_folder);

// An environment variable's value; nothing when it is not set.
std::optional<Text> EnvironmentValue(const wchar_t* name);

}  // namespace nuv::win32
