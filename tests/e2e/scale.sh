#!/usr/bin/env bash
# End-to-end at the display scales of today's laptops and monitors: 150 % and
# 200 % (Wine's LogPixels 144 and 192), in a Wine prefix and on a screen of
# their own (the 200 % face is 1440 x 960). At each scale:
#
#   - the main window is the face's size at that scale (1080 x 720, 1440 x 960);
#   - a person's clicks at the scaled centres of the skin's rectangles (a DPI
#     knob, a button label and a row of its popup, Apply, the tabs) change
#     and send the same as at 100 %: the reports in the trace, config.ini;
#   - every page is photographed (e2e-scale-<dpi>-<page>.png);
#   - at 200 % the face is drawn, not enlarged: it differs clearly from a
#     2x pixel enlargement of the 100 % face in captions and edges.
#
# Needs a built dist/ and build/win/bench/window_state.exe. Makes and removes
# its own WINEPREFIX and display.
set -u
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS="${1:-$ROOT/build/results}"
. "$ROOT/tests/e2e/lib.sh"
. "$ROOT/scripts/common.sh"

# A screen larger than the 200 % face.
SCALE_XVFB=""
for n in $(seq 121 150); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
  SCALE_XVFB=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  break
done
export WINEPREFIX
WINEPREFIX="$(mktemp -d /tmp/nuv-scale-XXXXXX)"
prepare_wine_prefix
trap 'wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX" "$APP"; [ -n "$SCALE_XVFB" ] && kill "$SCALE_XVFB"' EXIT

read -r _ MENU_HEIGHT <<<"$(identify -format '%w %h' "$APP/skins/menu_mask.jpg")"
ROW=$((MENU_HEIGHT / 10))   # a row of the first level, in skin units

for DPI in 144 192; do
  for key in 'HKCU\Control Panel\Desktop' \
             'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$DPI" /f >/dev/null 2>&1
  done
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  cp "$ROOT/dist/config.ini" "$CONFIG"
  read -r w h <<<"$(identify -format '%w %h' "$APP/skins/warning_mask.jpg")"
  WARNING_SIZE="$(px "$w")x$(px "$h")"
  xdotool mousemove 1900 1180
  start_shown || continue
  eval "$(xdotool getwindowgeometry --shell "$(main_window)")"
  [ "$WIDTH" -eq "$(px 720)" ] && [ "$HEIGHT" -eq "$(px 480)" ] ||
    fail "at $DPI DPI the main window is ${WIDTH}x$HEIGHT, not $(px 720)x$(px 480)"
  FACE="${WIDTH}x$HEIGHT"
  park_pointer
  shot "scale-$DPI-main" "$FACE"

  : >"$TRACE"
  click_key main 63            # level 1: 2000 DPI
  click_key main 26            # button 2's label: its popup
  if wait_until 15 menu_shown; then
    sleep 0.5
    shot "scale-$DPI-menu" "$FACE"
    eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --name '^MainMenuDlg$' | head -n1)")"
    xdotool mousemove $((X + $(px 60))) $((Y + $(px $((2 * ROW + ROW / 2))))) sleep 0.3 \
      mousemove $((X + $(px 100))) $((Y + $(px $((2 * ROW + ROW / 2))))) sleep 0.5 click 1
    wait_until 15 gone menu_shown || fail "at $DPI DPI the popup stayed open after a choice"
  else
    fail "at $DPI DPI button 2's label opened no popup"
  fi
  no_reports "choices at $DPI DPI"
  click_key main 3             # Apply
  sleep 1.5
  expect_report "F 07 10 02 03" "at $DPI DPI: button 2, middle click"
  expect_report "F 07 09 00 B0" "at $DPI DPI: level 1 at 2000 DPI"
  expect_value Config1 K2 3 "at $DPI DPI: button 2"
  expect_value Config1 DPI_SET1 3 "at $DPI DPI: level 1's value"
  # The warning of button 1, the only primary click, at the same scale.
  click_key main 25
  if wait_until 15 warning_shown; then
    sleep 0.5
    shot "scale-$DPI-warning" "$FACE"
    xdotool key Escape
    wait_until 10 gone warning_shown || fail "at $DPI DPI Escape did not close the warning"
  else
    fail "at $DPI DPI no warning for button 1"
  fi
  for page in advanced:10 colour:11 main:9; do
    click_key main "${page#*:}"
    park_pointer
    shot "scale-$DPI-${page%:*}" "$FACE"
  done

  if [ "$DPI" -eq 192 ]; then
    # Drawn, not enlarged: against the 100 % face doubled pixel for pixel, a
    # clear share of the face differs (the captions' and edges' finer pixels).
    convert "$ROOT/docs/main-en.png" -scale 200% "$RESULTS/e2e-scale-enlarged.png"
    differing=$(compare -metric AE -fuzz 12% "$RESULTS/e2e-scale-192-main.png" \
      "$RESULTS/e2e-scale-enlarged.png" null: 2>&1 | cut -d' ' -f1)
    note "at 200 %, $differing of 1382400 pixels differ from the doubled 100 % face"
    [ "${differing%.*}" -gt 20000 ] 2>/dev/null ||
      fail "the 200 % face looks like the 100 % face enlarged ($differing pixels differ)"
  fi
  # The focus mark on the first button label, as thick as the face is scaled:
  # a frame 2 units wide along the label's 156 by 28 units.
  xdotool key --delay 150 Tab Tab Tab
  sleep 0.6
  shot "scale-$DPI-focus" "$FACE"
  mark=$(($(focus_pixels "$RESULTS/e2e-scale-$DPI-focus.png") - $(focus_pixels "$RESULTS/e2e-scale-$DPI-main.png")))
  expected=$(((2 * (156 + 28) * 2 - 16) * DPI * DPI / 9216))
  [ "$mark" -ge $((expected * 8 / 10)) ] ||
    fail "at $DPI DPI the focus mark has $mark pixels, not about $expected"
  close_with_wm_close
done
for key in 'HKCU\Control Panel\Desktop' \
           'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
  wine reg add "$key" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
done

[ "$failures" -eq 0 ] && echo "e2e scale: all checks passed"
[ "$failures" -eq 0 ]
