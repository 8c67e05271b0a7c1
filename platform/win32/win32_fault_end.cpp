#include "platform/win32/win32_fault_end.h"

#include <windows.h>

#include <atomic>

#include "platform/fault_barrier.h"

namespace nuv::win32 {

namespace {

std::function<void()>* g_closer = nullptr;
std::atomic<bool> g_ending{false};

DWORD WINAPI RunCloser(void*) {
  try {
    if (g_closer && *g_closer) (*g_closer)();
  } catch (...) {
    // Whatever the closer did not do, the end of the process undoes.
  }
  return 0;
}

void EndProcessAfterFault() {
  // A second fault while the first ends the program waits for that end.
  if (g_ending.exchange(true)) {
    for (;;) Sleep(INFINITE);
  }
  if (HANDLE closer = CreateThread(nullptr, 0, RunCloser, nullptr, 0, nullptr)) {
    WaitForSingleObject(closer, 3000);
  }
  TerminateProcess(GetCurrentProcess(), kFaultExitCode);
  for (;;) Sleep(INFINITE);
}

LONG WINAPI UnhandledFault(EXCEPTION_POINTERS*) {
  EndProcessAfterFault();
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void InstallFaultEnd(std::function<void()> closer) {
  static std::function<void()> kept;
  kept = std::move(closer);
  g_closer = &kept;
  SetFaultHandler(EndProcessAfterFault);
  SetUnhandledExceptionFilter(UnhandledFault);
}

}  // namespace nuv::win32
