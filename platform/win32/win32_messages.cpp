#include "platform/win32/win32_messages.h"

#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"

namespace nuv::win32 {

void Win32Messages::Show(const Text& text, const Text& caption) {
  MessageBoxW(GetActiveWindow(), W(text), W(caption), MB_OK);
}

Text ApplicationName() {
  const Text path = ModulePath();
  const size_t slash = path.find_last_of(u"\\/");
  Text name = slash == Text::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind(u'.');
  if (dot != Text::npos) name.resize(dot);
  return name;
}

}  // namespace nuv::win32
