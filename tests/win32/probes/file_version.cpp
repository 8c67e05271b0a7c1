// Prints what Windows reads from a file's version resource, one "name=value"
// line per string of the US English block, then "binary=a.b.c.d" from the
// fixed part; exit code 1 when the file has none. The installer's end-to-end
// test asks it about the installed NUV_Talv.exe.
#include <windows.h>

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
  std::vector<BYTE> data(size);
  if (size == 0 || !GetFileVersionInfoW(argv[1], 0, size, data.data())) {
    std::printf("none\n");
    return 1;
  }
  for (const wchar_t* name : {L"ProductName", L"CompanyName", L"FileDescription", L"FileVersion",
                              L"ProductVersion", L"LegalCopyright", L"OriginalFilename"}) {
    wchar_t path[80];
    swprintf(path, 80, L"\\StringFileInfo\\040904B0\\%ls", name);
    wchar_t* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), path, reinterpret_cast<void**>(&value), &length)) {
      std::printf("%ls=%ls\n", name, value);
    }
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)) {
    std::printf("binary=%d.%d.%d.%d\n", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                LOWORD(fixed->dwFileVersionLS));
  }
  return 0;
}
