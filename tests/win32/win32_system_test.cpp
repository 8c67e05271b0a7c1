// The Win32 adapters of start-up and shutdown against the real system (Wine).
#include <gtest/gtest.h>

#include "app/startup.h"
#include "platform/win32/win32_messages.h"
#include "platform/win32/win32_process_image.h"
#include "platform/win32/win32_system.h"
#include "winapp/nuv_talv_app.h"

#include <cstdlib>
#include <new>

// The test program's own global operator delete (it replaces the library's for
// the whole of nuv_tests.exe, which links statically). On a thread that asks
// for it, freeing memory resets the thread's last error, as a heap free is
// allowed to: code that reads GetLastError after a temporary's destructor is
// then caught every time rather than now and then.
namespace {
thread_local bool g_free_resets_last_error = false;
}

void operator delete(void* p) noexcept {
  if (g_free_resets_last_error) SetLastError(ERROR_SUCCESS);
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace nuv::win32 {
namespace {

TEST(Win32System, PointerSpeedAndWheelLinesRoundTrip) {
  Win32SystemSettings system;
  const auto speed = system.GetPointerSpeed();
  const auto lines = system.GetWheelScrollLines();
  ASSERT_TRUE(speed && lines);
  EXPECT_TRUE(system.SetPointerSpeed(14));
  EXPECT_EQ(system.GetPointerSpeed(), 14);
  EXPECT_TRUE(system.SetWheelScrollLines(7));
  EXPECT_EQ(system.GetWheelScrollLines(), 7);
  system.SetPointerSpeed(*speed);
  system.SetWheelScrollLines(*lines);
}

TEST(Win32System, ModulePathAndApplicationName) {
  const Text path = ModulePath();
  EXPECT_GT(path.size(), 4u);
  EXPECT_EQ(path.substr(path.size() - 4), u".exe");
  EXPECT_EQ(ApplicationName(), u"nuv_tests");
  const Text folder = ApplicationFolderFromModulePath(path);
  EXPECT_EQ(folder + u"\\nuv_tests.exe", path);
}

TEST(Win32System, FirstCopyIsAdmittedOnce) {
  EXPECT_TRUE(AdmitSingleInstance());
  // The mutex now exists in this process; a further start is turned away.
  EXPECT_FALSE(AdmitSingleInstance());
}

TEST(Win32System, LaterCopyIsTurnedAwayEvenWhenAFreeResetsTheLastError) {
  AdmitSingleInstance();  // the mutex exists from here on (kept until the process ends)
  g_free_resets_last_error = true;
  const bool admitted = AdmitSingleInstance();
  g_free_resets_last_error = false;
  EXPECT_FALSE(admitted) << "GetLastError was read after memory was freed";
}

TEST(Win32System, OurWindowIsFoundByTheFileOfItsProcess) {
  const Text own = ModulePath();
  Text upper = own;
  for (auto& c : upper) c = (c >= u'a' && c <= u'z') ? c - 32 : c;
  EXPECT_TRUE(SameImagePath(upper, own));
  EXPECT_FALSE(SameImagePath(own + u"x", own));
  EXPECT_TRUE(ProcessesOfImage(own).empty()) << "this process is never counted";
  HWND ours = CreateWindowExW(0, L"STATIC", L"NUV_Talv image test", 0, 0, 0, 10, 10, nullptr,
                              nullptr, nullptr, nullptr);
  EXPECT_EQ(FindWindowOfImage(u"NUV_Talv image test", own), ours);
  EXPECT_EQ(FindWindowOfImage(u"NUV_Talv image test",
                              ApplicationFolderFromModulePath(own) + u"\\other.exe"),
            nullptr);
  DestroyWindow(ours);
}

}  // namespace
}  // namespace nuv::win32
