#include "platform/host/host_ini.h"
#include "test_support.h"

namespace nuv::test {

std::vector<std::pair<std::string, std::unique_ptr<IniPort>>> IniAdaptersUnderTest() {
  std::vector<std::pair<std::string, std::unique_ptr<IniPort>>> adapters;
  adapters.emplace_back("host", std::make_unique<HostIni>());
  return adapters;
}

std::unique_ptr<FileStorePort> FileStoreUnderTest() { return std::make_unique<HostFiles>(); }

}  // namespace nuv::test
