#!/usr/bin/env bash
# What moving the pointer over each page costs, seen from another process:
# tests/win32/probes/hover_sweep.exe sends the window a WM_MOUSEMOVE for every
# point of a grid over the face (SendMessage returns once the window has
# handled it, its repaint included, which is drawn at once) and asks the
# window for its paint count after each move (the program answers it only
# with the test switch -TESTPAINTCOUNT). Prints per page the moves, the
# paints, and the time of a move with and without a repaint. Goal: no paint
# for a move that changes no hover, a hover repaint within 2 ms.
#
#   bench/hover_cost.sh [STEP]      grid step in pixels (default 4)
#
# Builds the Windows programs if needed and uses its own Wine prefix
# (build/hover-prefix). A figure, not a test: it never fails on a slow
# machine.
set -u
. "$(dirname "$0")/../scripts/common.sh"
cd "$ROOT"
STEP="${1:-4}"
prepare_outside_bench hover-prefix || exit 1
APP="$(mktemp -d /tmp/nuv-hover-XXXXXX)"
cp -r "$ROOT/dist/." "$APP/"
trap 'wineserver -k 2>/dev/null; rm -rf "$APP"; stop_display' EXIT
TITLE="QUARVEL 241-7730 GAMING MOUSE"

for page in main advanced colour; do
  wine "$APP/NUV_Talv.exe" -VIRTUALMOUSE "-TESTPAGE=$page" -TESTPAINTCOUNT >/dev/null 2>&1 &
  for _ in $(seq 1 120); do
    xdotool search --onlyvisible --name "^$TITLE\$" >/dev/null 2>&1 && break
    sleep 0.25
  done
  sleep 3  # the start's apply and the attention mark are over
  echo "== $page page, a grid of ${STEP}-pixel steps"
  wine "$ROOT/build/win/bench/hover_sweep.exe" "$STEP" 2>/dev/null | tr -d '\r'
  wine taskkill /IM NUV_Talv.exe >/dev/null 2>&1
  wineserver -w
done
