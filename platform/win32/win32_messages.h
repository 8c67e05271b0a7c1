// Message boxes through the system.
#pragma once

#include "platform/message_port.h"

namespace nuv::win32 {

class Win32Messages : public MessagePort {
 public:
  void Show(const Text& text, const Text& caption) override;
};

// The caption of the program's message boxes: the executable's file name
// without its extension.
Text ApplicationName();

}  // namespace nuv::win32
