#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_shell.h"

namespace nuv::win32 {
namespace {

TEST(Win32Shell, SystemProgramsComeFromTheSystemFolderOnly) {
  for (const Text& name : {Text(u"calc.exe"), Text(u"cmd.exe")}) {
    const std::string path = Narrow(SystemProgramPath(name));
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path.substr(1, 2), ":\\") << path;  // absolute, on a drive
    std::string lower;
    for (char c : path) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    EXPECT_NE(lower.find("\\system32\\" + Narrow(name)), std::string::npos) << path;
  }
}

TEST(Win32Shell, TheCommandPromptSkipsTheUsersAutoRun) {
  EXPECT_EQ(SystemProgramCommandLine(u"C:\\Windows\\system32\\cmd.exe", kCommandPromptArguments),
            u"\"C:\\Windows\\system32\\cmd.exe\" /D");
  EXPECT_EQ(SystemProgramCommandLine(u"C:\\Windows\\system32\\calc.exe", Text()),
            u"\"C:\\Windows\\system32\\calc.exe\"");
}

TEST(Win32Clock, SleepsNeverEndEarly) {
  Win32Clock clock;
  for (auto length : {std::chrono::microseconds(100), std::chrono::microseconds(2000),
                      std::chrono::microseconds(7300)}) {
    const auto start = clock.Now();
    clock.SleepFor(length);
    EXPECT_GE(clock.Now() - start, length);
  }
  clock.SleepUntil(clock.Now() - std::chrono::seconds(1));  // a past deadline returns at once
}

TEST(Win32Clock, ThreadsThatSleptLeaveNoHandleBehind) {
  // Animation threads start on every page change, apply and power event.
  Win32Clock clock;
  const auto handles = [] {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
  };
  std::thread([&] { clock.SleepFor(std::chrono::milliseconds(1)); }).join();
  const DWORD before = handles();
  for (int i = 0; i < 1000; ++i) {
    std::thread([&] { clock.SleepFor(std::chrono::milliseconds(1)); }).join();
  }
  EXPECT_LE(handles(), before + 10);
}

}  // namespace
}  // namespace nuv::win32
