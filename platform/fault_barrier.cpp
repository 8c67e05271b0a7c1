#include "platform/fault_barrier.h"

#include <atomic>
#include <cstdlib>

namespace nuv {

namespace {
std::atomic<FaultHandler> g_handler{nullptr};
}  // namespace

void SetFaultHandler(FaultHandler handler) { g_handler.store(handler); }

void EndAfterFault() {
  if (FaultHandler handler = g_handler.load()) handler();
  std::abort();
}

}  // namespace nuv
