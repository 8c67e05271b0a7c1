#!/usr/bin/env bash
# The elevated program's import table holds only DLLs that the loader cannot
# take from the program's folder: the system's KnownDLLs, API sets
# (api-ms-win-*) and the common controls, which the manifest redirects. Any
# other DLL (hid.dll, winmm.dll, ...) must be loaded at run time from the
# system folder (platform/win32/system_library.h). The loader resolves the
# import table before any of the program's code runs, so SetDefaultDllDirectories
# cannot protect it.
#
# It also checks what the elevated program's image must be: placed by the
# loader at a random high address with no executable data (DYNAMIC_BASE,
# HIGH_ENTROPY_VA, NX_COMPAT), shipped without symbols or debug sections, and,
# in the unstripped build given second, built with stack canaries and checked
# buffer copies (-fstack-protector-strong, _FORTIFY_SOURCE), which is proved
# for each library and object of ours that it links (scripts/linked_parts.py),
# so that one target defined where the options do not reach it fails.
#   scripts/check_binary.sh dist/NUV_Talv.exe [build/win/NUV_Talv.exe]
# scripts/common.sh lists the shipped exes (NUV_SHIPPED_EXES) in one place.
# Prints each DLL it finds, each fault, and exits non-zero on any (or when the
# image cannot be read). Delay-loaded DLLs count too.
set -u
exe="${1:?usage: check_binary.sh <shipped program.exe> [unstripped program.exe]}"
unstripped="${2:-}"
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

characteristics=$(printf '%s\n' "$dump" | awk '/^DllCharacteristics/ {print $2; exit}')
for flag in HIGH_ENTROPY_VA:0x20 DYNAMIC_BASE:0x40 NX_COMPAT:0x100; do
  if (( (16#${characteristics:-0} & ${flag#*:}) == 0 )); then
    echo "binary: $exe lacks ${flag%%:*} (DllCharacteristics ${characteristics:-none})"
    status=1
  fi
done
if "$OBJDUMP" -h "$exe" | grep -q '\.debug'; then
  echo "binary: $exe ships debug sections"; status=1
fi
if ! "$OBJDUMP" -t "$exe" 2>&1 | grep -q 'no symbols'; then
  echo "binary: $exe ships a symbol table"; status=1
fi
if [ -n "$unstripped" ]; then
  symbols=$("${NM:-x86_64-w64-mingw32-nm}" "$unstripped" 2>/dev/null)
  grep -q ' __stack_chk_fail$' <<<"$symbols" ||
    { echo "binary: $unstripped has no stack canaries (-fstack-protector-strong)"; status=1; }
  python3 "$(dirname "$0")/linked_parts.py" "$(dirname "$unstripped")" "$(basename "$unstripped" .exe)" \
    "${NM:-x86_64-w64-mingw32-nm}" || status=1
fi
[ "$status" -eq 0 ] && echo "binary: ok (DllCharacteristics $characteristics, stripped${unstripped:+, canaries and checked copies})"
exit "$status"
