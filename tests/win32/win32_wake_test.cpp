#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/win32/win32_wake.h"

namespace nuv::win32 {
namespace {

TEST(Win32Wake, SignalWakesTheWaiterAndTimeoutsEnd) {
  Win32Wake wake;
  std::atomic<bool> ready{false};
  std::thread signaller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ready = true;
    wake.Signal();
  });
  const auto start = std::chrono::steady_clock::now();
  wake.Wait(std::chrono::seconds(30), [&] { return ready.load(); });
  EXPECT_TRUE(ready);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  signaller.join();

  const auto before = std::chrono::steady_clock::now();
  wake.Wait(std::chrono::milliseconds(5), [] { return false; });
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(5));
}

}  // namespace
}  // namespace nuv::win32
