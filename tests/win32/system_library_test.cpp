#include "platform/win32/system_library.h"

#include <gtest/gtest.h>

#include <string>

#include "app/startup.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"

namespace nuv::test {
namespace {

using win32::SystemLibrary;

TEST(SystemLibrary, FunctionsOfASystemDll) {
  const SystemLibrary kernel(L"kernel32.dll");
  ASSERT_TRUE(kernel.loaded());
  const auto tick = kernel.Function<decltype(&GetTickCount64)>("GetTickCount64");
  ASSERT_NE(tick, nullptr);
  EXPECT_GT(tick(), 0u);
  // A missing function or DLL gives null, never a crash.
  EXPECT_EQ(kernel.Function<decltype(&GetTickCount64)>("NoSuchFunction"), nullptr);
  const SystemLibrary missing(L"nuv_no_such_library.dll");
  EXPECT_FALSE(missing.loaded());
  EXPECT_EQ(missing.Function<decltype(&GetTickCount64)>("GetTickCount64"), nullptr);
  // The two DLLs the program no longer imports come from the system folder.
  EXPECT_TRUE(SystemLibrary(L"hid.dll").loaded());
  EXPECT_TRUE(SystemLibrary(L"winmm.dll").loaded());
}

TEST(SystemLibrary, NeverTakesADllFromTheProgramsFolder) {
  // A DLL that exists only beside the program, as a normal user might plant
  // one in a folder they can write.
  wchar_t system[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
  const std::wstring source = std::wstring(system) + L"\\winmm.dll";
  const std::wstring planted =
      win32::W(ApplicationFolderFromModulePath(win32::ModulePath()) + u"\\nuv_planted_test.dll");
  ASSERT_TRUE(CopyFileW(source.c_str(), planted.c_str(), FALSE)) << GetLastError();
  EXPECT_FALSE(SystemLibrary(L"nuv_planted_test.dll").loaded());
  // The ordinary search order would have taken it.
  HMODULE ordinary = LoadLibraryW(L"nuv_planted_test.dll");
  EXPECT_NE(ordinary, nullptr);
  if (ordinary) FreeLibrary(ordinary);
  DeleteFileW(planted.c_str());
}

}  // namespace
}  // namespace nuv::test
