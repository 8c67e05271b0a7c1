#!/usr/bin/env bash
# The house's layers read in one direction:
#   platform/  <  app/ device/ settings/ macro/ actions/ ui/  <  winapp/
# Only platform/win32/, winapp/ and tests/win32/ include Windows headers, and
# nothing in platform/ includes a header of a subsystem or of winapp/; no
# subsystem includes winapp/; the program reads no environment variable.
# Prints each breach and exits non-zero on any.
set -u
cd "$(dirname "$0")/.."
status=0
breach() { echo "layers: $1"; status=1; }

# System headers that only exist on Windows (case-insensitive, as MinGW's are).
WIN_HEADERS='windows|winuser|winbase|wingdi|windef|winnt|winreg|winsock2?|ws2tcpip|commctrl|commdlg|shellapi|shlobj|shlwapi|objbase|ole2|oleauto|gdiplus|dbt|setupapi|hidsdi|hidpi|hidusage|mmsystem|timeapi|synchapi|processthreadsapi|tlhelp32|psapi|winternl|versionhelpers|dwmapi|uxtheme|richedit|unknwn|wtypes'
while IFS= read -r file; do
  case "$file" in
    platform/win32/*|winapp/*|tests/win32/*) ;;
    *) grep -HniE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<(${WIN_HEADERS})\.h>" "$file" |
         while IFS= read -r hit; do echo "layers: Windows header outside the Windows layers: $hit"; done |
         grep . && status=1 ;;
  esac
  includes=$(grep -hoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$file" | sed -E 's/.*"([^"]+)"/\1/')
  for inc in $includes; do
    case "$file" in
      platform/*)
        case "$inc" in
          platform/*) ;;
          *) breach "$file includes $inc (platform/ includes only platform/)" ;;
        esac ;;
      app/*|device/*|settings/*|macro/*|actions/*|ui/*)
        case "$inc" in
          winapp/*|tests/*|bench/*) breach "$file includes $inc (a subsystem never includes winapp/)" ;;
          platform/win32/*) breach "$file includes $inc (the subsystems are portable)" ;;
        esac ;;
    esac
  done
done < <(git ls-files '*.cpp' '*.h' '*.hpp')
# The program runs elevated: it reads nothing of the environment, which a
# normal user's programs can set (tests and benchmarks may).
env_reads=$(git ls-files '*.cpp' '*.h' '*.hpp' ':!tests/' ':!bench/' |
  xargs -r grep -nE '\b(getenv|_wgetenv|_wgetenv_s|getenv_s|_dupenv_s|_wdupenv_s|secure_getenv|GetEnvironmentVariable[AW]?|GetEnvironmentStrings[AW]?|ExpandEnvironmentStrings[AW]?|environ|_wenviron)\b')
if [ -n "$env_reads" ]; then
  while IFS= read -r hit; do breach "environment read in the program: $hit"; done <<<"$env_reads"
fi
[ "$status" -eq 0 ] && echo "layers: ok"
exit "$status"
