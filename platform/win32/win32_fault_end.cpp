#include "platform/win32/win32_fault_end.h"

#include <windows.h>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <stdexcept>

#include "platform/fault_barrier.h"
#include "platform/held_inputs.h"

// The stack protector's failure routine (libssp), which canary-protected code
// calls when a function's canary was overwritten.
extern "C" [[noreturn]] void __stack_chk_fail();

namespace nuv::win32 {

namespace {

// What the hard ending reads: set once at installation, plain atomics.
std::atomic<HeldInputs*> g_held{nullptr};
std::atomic<int> g_pointerSpeed{0};
std::atomic<uintptr_t> g_imageStart{0};
std::atomic<uintptr_t> g_imageSize{0};
// The thread that runs the hard ending, 0 while none does.
std::atomic<DWORD> g_hardEnding{0};
std::atomic<bool> g_softEnding{false};

// The closer of the window that is open, under a lock that the soft ending
// holds while it runs and FaultCloser's destructor takes to remove it.
SRWLOCK g_closerLock = SRWLOCK_INIT;
std::function<void()>* g_closer = nullptr;

constexpr DWORD kStackBufferOverrun = 0xC0000409;
constexpr DWORD kHeapCorruption = 0xC0000374;

[[noreturn]] void EndHard(DWORD exitCode) noexcept {
  DWORD none = 0;
  if (!g_hardEnding.compare_exchange_strong(none, GetCurrentThreadId())) {
    // The ending itself faulted: end now. Another thread's fault: the first
    // ending ends the process.
    if (none == GetCurrentThreadId()) TerminateProcess(GetCurrentProcess(), exitCode);
    for (;;) Sleep(INFINITE);
  }
  if (HeldInputs* held = g_held.load()) {
    held->TakeAll([](uint8_t vk, uint8_t scan, uint32_t flags) { keybd_event(vk, scan, flags, 0); },
                  [](uint32_t flags) { mouse_event(flags, 0, 0, 0, 0); });
  }
  int speed = 0;
  if (const int wanted = g_pointerSpeed.load();
      wanted > 0 && SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0)) {
    SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(wanted),
                          reinterpret_cast<void*>(static_cast<intptr_t>(wanted)),
                          SPIF_UPDATEINIFILE);
  }
  TerminateProcess(GetCurrentProcess(), exitCode);
  for (;;) Sleep(INFINITE);
}

DWORD WINAPI RunCloser(void*) {
  AcquireSRWLockShared(&g_closerLock);
  try {
    if (g_closer && *g_closer) (*g_closer)();
  } catch (...) {
    // Whatever the closer did not do, the end of the process undoes.
  }
  ReleaseSRWLockShared(&g_closerLock);
  return 0;
}

// The barriers' handler: a C++ exception, the process sound.
void EndAfterException() {
  // A second fault while the first ends the program waits for that end.
  if (g_softEnding.exchange(true)) {
    for (;;) Sleep(INFINITE);
  }
  if (HANDLE closer = CreateThread(nullptr, 0, RunCloser, nullptr, 0, nullptr)) {
    WaitForSingleObject(closer, 3000);
  }
  EndHard(kFaultExitCode);
}

bool IsProcessorFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_STACK_OVERFLOW:
    case kStackBufferOverrun:
    case kHeapCorruption:
      return true;
    default:
      return false;
  }
}

// First of all handlers. A processor fault in the program's own image ends
// at once: no code of ours handles one, and a window procedure called back
// from the kernel could otherwise have it swallowed. One in system code is
// left to the frames there (some probe memory under their own handler), and
// ends through the filter below if none handles it.
LONG CALLBACK FirstChance(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  if (!IsProcessorFault(code)) return EXCEPTION_CONTINUE_SEARCH;
  const auto at = reinterpret_cast<uintptr_t>(info->ExceptionRecord->ExceptionAddress);
  const bool ours = at - g_imageStart.load() < g_imageSize.load();
  if (ours || code == kStackBufferOverrun || code == kHeapCorruption) EndHard(code);
  return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI Unhandled(EXCEPTION_POINTERS* info) { EndHard(info->ExceptionRecord->ExceptionCode); }

void OnAbort(int) { EndHard(kFaultExitCode); }

}  // namespace

void InstallFaultEnd(HeldInputs& held, int pointerSpeed) {
  const auto* image = reinterpret_cast<const uint8_t*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  g_imageStart = reinterpret_cast<uintptr_t>(image);
  g_imageSize = nt->OptionalHeader.SizeOfImage;
  g_held = &held;
  g_pointerSpeed = pointerSpeed;
  SetFaultHandler(EndAfterException);
  AddVectoredExceptionHandler(1, FirstChance);
  SetUnhandledExceptionFilter(Unhandled);
  std::signal(SIGABRT, OnAbort);
}

FaultCloser::FaultCloser(std::function<void()> closer) : closer_(std::move(closer)) {
  AcquireSRWLockExclusive(&g_closerLock);
  g_closer = &closer_;
  ReleaseSRWLockExclusive(&g_closerLock);
}

FaultCloser::~FaultCloser() {
  AcquireSRWLockExclusive(&g_closerLock);
  if (g_closer == &closer_) g_closer = nullptr;
  ReleaseSRWLockExclusive(&g_closerLock);
}

void RaiseTestFault(unsigned kind) {
  if (kind == 1) {
    // Through a pointer the compiler cannot know, so a real access violation.
    static int* volatile nowhere = nullptr;
    *nowhere = 1;
  } else if (kind == 2) {
    // What the code of a function whose canary was overwritten calls.
    __stack_chk_fail();
  }
  throw std::runtime_error("test fault");
}

}  // namespace nuv::win32

// The link of the program routes the failure routines of the stack protector
// and of the checked copies here (-Wl,--wrap): libssp's own print a message
// through the C library (locks, a file handle) from the corrupted process
// before they trap.
extern "C" [[noreturn]] void __wrap___stack_chk_fail() {
  nuv::win32::EndHard(nuv::win32::kCheckFailedExitCode);
}
extern "C" [[noreturn]] void __wrap___chk_fail() {
  nuv::win32::EndHard(nuv::win32::kCheckFailedExitCode);
}
