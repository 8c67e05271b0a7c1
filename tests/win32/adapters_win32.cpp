#include "platform/host/host_ini.h"
#include "platform/win32/win32_ini.h"
#include "test_support.h"

namespace nuv::test {

std::vector<std::pair<std::string, std::unique_ptr<IniPort>>> IniAdaptersUnderTest() {
  std::vector<std::pair<std::string, std::unique_ptr<IniPort>>> adapters;
  adapters.emplace_back("win32", std::make_unique<win32::Win32Ini>());
  adapters.emplace_back("host", std::make_unique<HostIni>());
  return adapters;
}

}  // namespace nuv::test
