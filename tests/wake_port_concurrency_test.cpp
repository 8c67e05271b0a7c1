// One wake port serves the input reader and the executor at once (the virtual
// mouse's reader and the hand-over share it in the program): a signal meant for
// one waiter must not be swallowed by the other.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/wake_port.h"

namespace nuv {
namespace {

TEST(WakePortConcurrency, ASignalReachesTheWaiterWhoseConditionHolds) {
  StdWake wake;
  std::atomic<bool> first_ready{false}, second_ready{false}, stop{false};
  std::thread first([&] {
    while (!stop) wake.Wait(std::chrono::seconds(10), [&] { return first_ready || stop.load(); });
  });
  std::thread second(
      [&] { wake.Wait(std::chrono::seconds(10), [&] { return second_ready.load(); }); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // both are waiting
  const auto start = std::chrono::steady_clock::now();
  second_ready = true;
  wake.Signal();
  second.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  stop = true;
  wake.Signal();
  first.join();
}

}  // namespace
}  // namespace nuv
