#!/usr/bin/env bash
# The elevated program's import table holds only DLLs that the loader cannot
# take from the program's folder: the system's KnownDLLs, API sets
# (api-ms-win-*) and the common controls, which the manifest redirects. Any
# other DLL (hid.dll, winmm.dll, ...) must be loaded at run time from the
# system folder (platform/win32/system_library.h). The loader resolves the
# import table before any of the program's code runs, so SetDefaultDllDirectories
# cannot protect it.
#   scripts/check_imports.sh build/win/NUV_Talv.exe
# Prints each DLL it finds, each one that is not allowed, and exits non-zero on
# any (or when the import table cannot be read). Delay-loaded DLLs count too.
set -u
exe="${1:?usage: check_imports.sh <program.exe>}"
OBJDUMP="${OBJDUMP:-x86_64-w64-mingw32-objdump}"

# KnownDLLs of Windows 10/11 (HKLM\SYSTEM\CurrentControlSet\Control\Session
# Manager\KnownDLLs), lower case.
KNOWN_DLLS=" advapi32.dll clbcatq.dll combase.dll comdlg32.dll coml2.dll difxapi.dll gdi32.dll
  gdiplus.dll imagehlp.dll imm32.dll kernel32.dll msctf.dll msvcrt.dll normaliz.dll nsi.dll
  ole32.dll oleaut32.dll psapi.dll rpcrt4.dll sechost.dll setupapi.dll shcore.dll shell32.dll
  shlwapi.dll user32.dll wldap32.dll ws2_32.dll ntdll.dll kernelbase.dll "
REDIRECTED=" comctl32.dll "

dump=$("$OBJDUMP" -p "$exe" 2>&1) || { echo "imports: cannot read $exe: $dump"; exit 1; }
names=$(printf '%s\n' "$dump" | sed -nE 's/^[[:space:]]*DLL Name:[[:space:]]*(.+)$/\1/p' |
        tr 'A-Z' 'a-z' | tr -d '\r' | sort -u)
[ -n "$names" ] || { echo "imports: no import table found in $exe"; exit 1; }

status=0
for dll in $names; do
  case "$dll" in
    api-ms-win-*.dll) continue ;;
  esac
  case "$(echo $KNOWN_DLLS $REDIRECTED | sed 's/.*/ & /')" in
    *" $dll "*) continue ;;
  esac
  echo "imports: $exe imports $dll, which is neither a KnownDLL nor an API set:"
  echo "         load it with LoadLibraryExW(..., LOAD_LIBRARY_SEARCH_SYSTEM32) instead"
  status=1
done
[ "$status" -eq 0 ] && echo "imports: ok ($(echo $names))"
exit "$status"
