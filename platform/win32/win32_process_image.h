// Finding the processes and the main window of one program by the file it was
// started from: the one thing another program cannot take on, whatever names,
// titles or objects it creates first.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/text.h"

namespace nuv::win32 {

// The full path of the file a process was started from, in its long form;
// empty when the process cannot be asked.
Text ProcessImagePath(HANDLE process);
Text ProcessImagePath(DWORD processId);

// Whether two paths name the same file: compared without case, each in its
// long form (a copy started through a short 8.3 path is the same program).
bool SameImagePath(const Text& a, const Text& b);

// The ids of the processes started from `imagePath`, except this process.
std::vector<DWORD> ProcessesOfImage(const Text& imagePath);

// The first top-level window, shown or hidden, titled `title` and belonging
// to a process started from `imagePath`; null when there is none.
HWND FindWindowOfImage(const Text& title, const Text& imagePath);

}  // namespace nuv::win32
