#!/usr/bin/env bash
# Plays the mouse's part for NUV_Talv.exe running with the virtual mouse
# (NUV_TALV_VIRTUAL_MOUSE=1): appends one command to the control file that the
# virtual mouse follows.
#
#   tools/virtual_mouse.sh [--control FILE] press N     button N goes down (mouse numbering 1..8)
#   tools/virtual_mouse.sh [--control FILE] release     the button that is down comes up
#   tools/virtual_mouse.sh [--control FILE] click N     press and release
#   tools/virtual_mouse.sh [--control FILE] report HH.. any input report, in hex bytes
#   tools/virtual_mouse.sh [--control FILE] unplug | plug
#
# The control file is FILE, else $NUV_TALV_VIRTUAL_MOUSE_CONTROL (a Linux path
# or a Windows one such as Z:\tmp\vm.ctl), else dist/virtual_mouse.ctl beside
# the program.
set -eu
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

usage() { sed -n '2,14p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//' >&2; exit 2; }

control="${NUV_TALV_VIRTUAL_MOUSE_CONTROL:-$ROOT/dist/virtual_mouse.ctl}"
if [ "${1:-}" = "--control" ]; then
  [ $# -ge 2 ] || usage
  control="$2"
  shift 2
fi
[ $# -ge 1 ] || usage

# A Windows path (drive letter or backslashes) is the program's view of the file.
case "$control" in
  [A-Za-z]:* | *\\*) control="$(winepath -u "$control" 2>/dev/null)" ;;
esac

case "$1" in
  press | click) [ $# -eq 2 ] && [[ "$2" =~ ^[1-8]$ ]] || usage ;;
  release | unplug | plug) [ $# -eq 1 ] || usage ;;
  report)
    [ $# -ge 2 ] || usage
    for byte in "${@:2}"; do [[ "$byte" =~ ^[0-9A-Fa-f]{1,2}$ ]] || usage; done ;;
  *) usage ;;
esac

echo "$*" >>"$control"
