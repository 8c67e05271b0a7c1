#include "platform/win32/win32_folder_watch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "test_support.h"

namespace nuv {
namespace {

using namespace std::chrono_literals;
using test::ScratchFolder;

// The virtual mouse's change function uses the mouse: once the watch is gone
// (the mouse destroys it first), a change of the folder must call nothing.
TEST(Win32FolderWatch, CallsOnChangesUntilDestroyed) {
  ScratchFolder dir;
  std::atomic<int> calls{0};
  auto watch = win32::WatchFolder(dir.folder(), [&] { ++calls; });
  ASSERT_TRUE(watch);
  dir.Write("virtual_mouse.ctl", "press 8\n");
  for (int i = 0; i < 200 && calls == 0; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_GT(calls, 0);
  watch.reset();
  const int seen = calls;
  dir.Write("virtual_mouse.ctl", "release\n");
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(calls, seen);
}

TEST(Win32FolderWatch, AFolderThatCannotBeWatchedGivesNoWatch) {
  EXPECT_FALSE(win32::WatchFolder(u"Z:\\no\\such\\folder\\at\\all", [] {}));
}

}  // namespace
}  // namespace nuv
