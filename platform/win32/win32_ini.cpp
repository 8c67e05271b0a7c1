#include "platform/win32/win32_ini.h"

#include <limits>
#include <vector>

#include "platform/win32/win32_text.h"

namespace nuv::win32 {

Text Win32Ini::GetString(const Text& path, const Text& section, const Text& key, size_t capacity) {
  if (capacity == 0) return Text();
  if (capacity > std::numeric_limits<DWORD>::max()) capacity = std::numeric_limits<DWORD>::max();
  std::vector<wchar_t> buffer(capacity, L'\0');
  const DWORD n = GetPrivateProfileStringW(W(section), W(key), L"", buffer.data(),
                                           static_cast<DWORD>(capacity), W(path));
  return FromW(buffer.data(), n < capacity ? n : capacity - 1);
}

bool Win32Ini::SetString(const Text& path, const Text& section, const Text& key,
                         const Text& value) {
  return WritePrivateProfileStringW(W(section), W(key), W(value), W(path)) != FALSE;
}

}  // namespace nuv::win32
