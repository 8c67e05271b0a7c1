#include "platform/host/host_ini.h"
#include "platform/ini_files.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_ini.h"
#include "test_support.h"

namespace nuv::test {

namespace {

struct Win32FilesMember {
  win32::Win32Files files;
};

// The port the program itself uses.
struct ProgramIni : private Win32FilesMember, IniFiles {
  ProgramIni() : IniFiles(files) {}
};

}  // namespace

std::vector<std::pair<std::string, std::unique_ptr<IniPort>>> IniAdaptersUnderTest() {
  std::vector<std::pair<std::string, std::unique_ptr<IniPort>>> adapters;
  adapters.emplace_back("win32", std::make_unique<win32::Win32Ini>());
  adapters.emplace_back("program", std::make_unique<ProgramIni>());
  adapters.emplace_back("host", std::make_unique<HostIni>());
  return adapters;
}

std::unique_ptr<FileStorePort> FileStoreUnderTest() {
  return std::make_unique<win32::Win32Files>();
}

}  // namespace nuv::test
