#!/usr/bin/env bash
# Builds NUV_Talv.exe and starts it under Wine with the virtual mouse.
# Without a display it starts a virtual one, saves a screenshot of the window
# and says where. The program gets -VIRTUALMOUSE, then the extra arguments
# (e.g. -HIDE, which goes last). The virtual mouse's control file and trace are
# dist/virtual_mouse.ctl and dist/virtual_mouse.trace.
set -u
. "$(dirname "$0")/common.sh"
cd "$ROOT"
ensure_packages
build_windows || exit 1
had_display=1
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then had_display=0; fi
ensure_display || exit 1
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
# A prefix made earlier, or the user's own, gets the fonts mapped as well.
if [ -d "$WINEPREFIX" ]; then map_wine_fonts && wineserver -w; else prepare_wine_prefix; fi || exit 1
if [ "$had_display" -eq 1 ]; then
  exec wine "$ROOT/dist/NUV_Talv.exe" -VIRTUALMOUSE "$@"
fi
wine "$ROOT/dist/NUV_Talv.exe" -VIRTUALMOUSE "$@" &
sleep "${NUV_SHOT_DELAY:-20}"
shot="$ROOT/build/NUV_Talv-screenshot.png"
import -window root "$shot" && echo "screenshot of the running program: $shot"
wine taskkill /IM NUV_Talv.exe >/dev/null 2>&1
wineserver -w
stop_display
