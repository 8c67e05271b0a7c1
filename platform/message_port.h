// Message boxes: the few things the user is told (missing mouse, missing or
// malformed skin file, missing macro file, full macro).
#pragma once

#include "platform/text.h"

namespace nuv {

class MessagePort {
 public:
  virtual ~MessagePort() = default;
  // A modal box with an OK button; `caption` is the box's title (the
  // application name where the system shows one).
  virtual void Show(const Text& text, const Text& caption) = 0;
};

}  // namespace nuv
