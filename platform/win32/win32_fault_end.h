// How the program ends after a fault: the closer runs once, on a thread of
// its own (the faulting thread may hold a lock the closer needs), for at most
// three seconds, then the process ends with exit code 3. C++ exceptions reach
// it through the barriers (platform/fault_barrier.h); faults that no barrier
// catches (access violations and the like) through the unhandled-exception
// filter installed here.
#pragma once

#include <functional>

namespace nuv::win32 {

// Sets the closer, the fault handler of the barriers and the process's
// unhandled-exception filter.
void InstallFaultEnd(std::function<void()> closer);

constexpr unsigned kFaultExitCode = 3;

}  // namespace nuv::win32
