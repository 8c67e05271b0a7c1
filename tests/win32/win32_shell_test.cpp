#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text.h"

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

// A program started for the user gets the user's environment, made from the
// shell's token, not the elevated program's own variables.
TEST(Win32Shell, ProgramsStartedForTheUserGetTheUsersEnvironment) {
  ASSERT_TRUE(SetEnvironmentVariableW(L"NUV_TALV_OURS_ONLY", L"1"));
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring listing = std::wstring(folder) + L"nuv_environment.txt";
  DeleteFileW(listing.c_str());
  const auto started = StartAsDesktopUser(SystemProgramPath(u"cmd.exe"), [&](PSID) {
    return std::optional<Text>(u"/D /C set > \"" + FromW(listing.c_str()) + u"\"");
  });
  ASSERT_TRUE(started) << "no desktop shell";
  EXPECT_EQ(WaitForSingleObject(started->process, 20000), WAIT_OBJECT_0);
  CloseHandle(started->process);
  std::ifstream in(listing.c_str());
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  DeleteFileW(listing.c_str());
  EXPECT_NE(text.find("PATH="), std::string::npos) << text;
  EXPECT_EQ(text.find("NUV_TALV_OURS_ONLY"), std::string::npos) << text;
  SetEnvironmentVariableW(L"NUV_TALV_OURS_ONLY", nullptr);
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
