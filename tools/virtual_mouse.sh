#!/usr/bin/env bash
# Plays the mouse's part for NUV_Talv.exe running with the virtual mouse
# (NUV_Talv.exe -VIRTUALMOUSE): appends one command to the control file that the
# virtual mouse follows, virtual_mouse.ctl in the program's folder.
#
#   tools/virtual_mouse.sh [WHERE] press N     button N goes down (mouse numbering 1..8)
#   tools/virtual_mouse.sh [WHERE] release     the button that is down comes up
#   tools/virtual_mouse.sh [WHERE] click N     press and release
#   tools/virtual_mouse.sh [WHERE] report HH.. any input report, in hex bytes
#   tools/virtual_mouse.sh [WHERE] unplug | plug
#
# WHERE is --folder DIR (the folder of the NUV_Talv.exe that runs; the file is
# DIR/virtual_mouse.ctl) or --control FILE; without it dist/virtual_mouse.ctl.
# DIR and FILE may be Linux paths or Windows ones such as Z:\tmp\nuv.
set -eu
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

usage() { sed -n '2,14p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//' >&2; exit 2; }

# A Windows path (drive letter or backslashes) is the program's view of the file.
linux_path() {
  case "$1" in
    [A-Za-z]:* | *\\*) winepath -u "$1" 2>/dev/null ;;
    *) printf '%s\n' "$1" ;;
  esac
}

control="$ROOT/dist/virtual_mouse.ctl"
case "${1:-}" in
  --control)
    [ $# -ge 2 ] || usage
    control="$(linux_path "$2")"
    shift 2 ;;
  --folder)
    [ $# -ge 2 ] || usage
    control="$(linux_path "$2")"
    control="${control%/}/virtual_mouse.ctl"
    shift 2 ;;
esac
[ $# -ge 1 ] || usage

case "$1" in
  press | click) [ $# -eq 2 ] && [[ "$2" =~ ^[1-8]$ ]] || usage ;;
  release | unplug | plug) [ $# -eq 1 ] || usage ;;
  report)
    [ $# -ge 2 ] || usage
    for byte in "${@:2}"; do [[ "$byte" =~ ^[0-9A-Fa-f]{1,2}$ ]] || usage; done ;;
  *) usage ;;
esac

echo "$*" >>"$control"
