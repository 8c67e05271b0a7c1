// The virtual mouse's thread keeps running while the process ends: statics are
// destroyed at exit, the thread is not stopped. Whatever that thread uses must
// therefore outlive every static object. This test ends a process while the
// mouse's thread is in the middle of delivering an unplug, lets the thread go
// on only once every static destructor of the process has run, and checks that
// what it reads then is still intact. (Under AddressSanitizer a destroyed
// string is a use after free; without it the freed memory is overwritten by
// the allocator, so the comparison fails either way.)
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include <unistd.h>

#include "platform/virtual/virtual_mouse.h"
#include "test_support.h"

namespace nuv::test {
namespace {

// Trivially destructible, so usable until the very end.
std::atomic<int> g_stage{0};  // 1: delivery entered, 2: statics gone, 3: delivery checked
std::atomic<bool> g_path_intact{false};

// Constructed before every other static of the program (init_priority 101 is
// the earliest), so destroyed after all of them.
struct AfterAllStatics {
  ~AfterAllStatics() {
    if (g_stage.load() != 1) return;  // not the exiting child of the test
    g_stage = 2;
    for (int i = 0; i < 500 && g_stage.load() != 3; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    _exit(g_stage.load() == 3 && g_path_intact.load() ? 0 : 1);
  }
};
__attribute__((init_priority(101))) AfterAllStatics g_after_all_statics;

void ExitWhileTheMouseDelivers() {
  ScratchFolder* dir = new ScratchFolder;  // never destroyed: the process ends first
  VirtualMouseOptions options;
  options.controlPath = dir->FsPath("virtual_mouse.ctl");
  options.controlPollInterval = std::chrono::milliseconds(5);
  const Text expected(
      u"\\\\?\\hid#vid_18f8&pid_0f99&col01#virtual&1&0000#"
      u"{4d1e55b2-f16f-11cf-88cb-001111000030}");
  // As in the program: made once and never destroyed.
  auto* mouse =
      new VirtualMouse(std::move(options), [expected](WindowId, uint32_t, const Text& path) {
        if (g_stage.load() != 0) return;
        g_stage = 1;
        while (g_stage.load() != 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        g_path_intact = path == expected;
        g_stage = 3;
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));  // until the process ends
      });
  mouse->RegisterInterfaceNotifications(1);
  dir->Write("virtual_mouse.ctl", "unplug\n");
  for (int i = 0; i < 500 && g_stage.load() != 1; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (g_stage.load() != 1) _exit(2);  // the unplug never came: no verdict
  std::exit(0);  // static destructors run; the mouse's thread is still inside the delivery
}

TEST(VirtualMouseAtExit, ItsThreadMayStillUseWhatItUsesAfterTheStaticsAreGone) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ExitWhileTheMouseDelivers(), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace nuv::test
