#!/usr/bin/env bash
# End-to-end checks of the real NUV_Talv.exe under Wine, driven as a person
# would: start, a second start, close. Needs DISPLAY and WINEPREFIX (the test
# script provides both) and a built dist/. Screenshots go to the results folder.
set -u
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS="${1:-$ROOT/build/results}"
TITLE="QUARVEL 241-7730 GAMING MOUSE"
mkdir -p "$RESULTS"
APP="$(mktemp -d /tmp/nuv-e2e-XXXXXX)"
cp -r "$ROOT/dist/." "$APP/"
export NUV_TALV_VIRTUAL_MOUSE=1 NUV_TALV_VIRTUAL_MOUSE_TRACE="$APP/trace.txt"
failures=0
fail() { echo "e2e FAIL: $*"; failures=$((failures + 1)); }

wait_for_window() {  # seconds
  local found
  for _ in $(seq 1 $(($1 * 4))); do
    found=$(xdotool search --name "^$TITLE\$" 2>/dev/null | head -n1)
    [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.25
  done
  return 1
}

wine "$APP/NUV_Talv.exe" >"$RESULTS/e2e-wine.log" 2>&1 &
if window=$(wait_for_window 60); then
  sleep 2
  import -window root "$RESULTS/e2e-main.png" 2>/dev/null || true

  # A second copy finds the first by its title, restores it and ends at once.
  timeout 60 wine "$APP/NUV_Talv.exe" >>"$RESULTS/e2e-wine.log" 2>&1
  [ "$(xdotool search --name "^$TITLE\$" 2>/dev/null | wc -l)" -eq 1 ] ||
    fail "a second start must not open another window"

  # Closing as a user does: WM_CLOSE runs the close sequence.
  wine reg add 'HKCU\Control Panel\Mouse' /v MouseSensitivity /d 16 /f >/dev/null 2>&1
  wine taskkill /IM NUV_Talv.exe >/dev/null 2>&1
  for _ in $(seq 1 80); do
    [ -z "$(xdotool search --name "^$TITLE\$" 2>/dev/null)" ] && break
    sleep 0.25
  done
  [ -z "$(xdotool search --name "^$TITLE\$" 2>/dev/null)" ] || fail "the window did not close"
  speed=$(wine reg query 'HKCU\Control Panel\Mouse' /v MouseSensitivity 2>/dev/null | tr -d '\r' |
          awk '/MouseSensitivity/ {print $NF}')
  [ "$speed" = "10" ] || fail "pointer speed after close is '$speed', not 10"
else
  fail "the main window did not appear"
fi
timeout 30 wineserver -w 2>/dev/null
rm -rf "$APP"
[ "$failures" -eq 0 ] && echo "e2e: all checks passed"
[ "$failures" -eq 0 ]
