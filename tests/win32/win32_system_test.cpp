// The Win32 adapters of start-up and shutdown against the real system (Wine).
#include <gtest/gtest.h>

#include "app/startup.h"
#include "platform/win32/win32_messages.h"
#include "platform/win32/win32_system.h"
#include "winapp/nuv_talv_app.h"

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

}  // namespace
}  // namespace nuv::win32
