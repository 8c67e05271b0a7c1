// Conversions between the core's UTF-16 text and the wide strings of Win32.
#pragma once

#include <windows.h>

#include "platform/text.h"

namespace nuv::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

inline const wchar_t* W(const Text& t) { return reinterpret_cast<const wchar_t*>(t.c_str()); }
inline Text FromW(const wchar_t* s) {
  return s ? Text(reinterpret_cast<const char16_t*>(s)) : Text();
}
inline Text FromW(const wchar_t* s, size_t n) {
  return Text(reinterpret_cast<const char16_t*>(s), n);
}

}  // namespace nuv::win32
