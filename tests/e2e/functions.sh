#!/usr/bin/env bash
# End-to-end: giving the mouse's buttons their functions as a person does,
# through the button labels of the main page, the warning before the only
# primary click is given away, and the two levels of function popups. Checked
# by the virtual mouse's trace, config.ini and screenshots (the warning and
# both levels in both languages, the labels afterwards).
#
# Needs DISPLAY and WINEPREFIX (the test script provides both), a built dist/
# and build/win/bench/window_state.exe.
set -u
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS="${1:-$ROOT/build/results}"
. "$ROOT/tests/e2e/lib.sh"

# Slot 3 gives the primary click to button 7 alone.
sed -i '/^\[Config3\]/,/^\[/ { s/^K1=.*/K1=3\r/; s/^K7=.*/K7=1\r/ }' "$CONFIG"

# The popups' geometry from the shipped masks: ten and twelve rows.
read -r MENU_WIDTH first_height <<<"$(identify -format '%w %h' "$APP/skins/menu_mask.jpg")"
ROW=$((first_height / 10))
MACROS=$(ini_value "$APP/Macro_EN.dat" Macros macroNum)

# MX, MY: the first level's top-left corner.
menu_origin() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --name '^MainMenuDlg$' | head -n1)")"
  MX=$X MY=$Y
}
# A first-level row: the pointer onto it, a click.
choose_row() {  # row
  wait_until 15 menu_shown || { fail "the function popup did not open"; return 1; }
  menu_origin
  xdotool mousemove $((MX + 60)) $((MY + ($1 - 1) * ROW + ROW / 2)) sleep 0.3 \
    mousemove $((MX + 100)) $((MY + ($1 - 1) * ROW + ROW / 2)) sleep 0.5 click 1
  wait_until 15 gone menu_shown || fail "the popup stayed open after a choice of row $1"
}
# A row of a group's second level: along the group row into the second
# level, then to its row. Its top: the first level's, moved as the group says.
choose_in_group() {  # group row [screenshot]
  local group=$1 row=$2 shift_rows y0
  wait_until 15 menu_shown || { fail "the function popup did not open"; return 1; }
  menu_origin
  case $group in 7) shift_rows=-1 ;; 8) shift_rows=2 ;; 9) shift_rows=$((9 - MACROS)) ;; *) shift_rows=0 ;; esac
  y0=$((MY + shift_rows * ROW))
  local gy=$((MY + (group - 1) * ROW + ROW / 2))
  xdotool mousemove $((MX + 60)) "$gy" sleep 0.3 mousemove $((MX + 100)) "$gy" sleep 1 \
    mousemove $((MX + MENU_WIDTH + 30)) "$gy" sleep 0.3 \
    mousemove $((MX + MENU_WIDTH + 60)) $((y0 + (row - 1) * ROW + ROW / 2)) sleep 0.8
  [ -n "${3:-}" ] && wide_shot "$3"
  xdotool click 1
  wait_until 15 gone menu_shown || fail "the popups stayed open after a choice in group $group"
}

start_shown || exit 1
: >"$TRACE"

# ---- The warning: Escape and Cancel open nothing, Continue the popup ----
click_key main 25
wait_until 15 warning_shown || fail "no warning for button 1, the only primary click"
sleep 0.5
wide_shot warning-en
xdotool key Return sleep 0.5
warning_shown || fail "Return closed the warning"
xdotool key Escape
wait_until 10 gone warning_shown || fail "Escape did not close the warning"
sleep 1
menu_shown && fail "Escape opened the function popup"
click_key main 25
wait_until 15 warning_shown || fail "no warning the second time"
answer_warning 25 1
wait_until 10 gone warning_shown || fail "Cancel did not close the warning"
sleep 1
menu_shown && fail "Cancel opened the function popup"
open_function_popups 25
sleep 0.5
wide_shot menu-first-en
park_pointer
xdotool click 1
wait_until 10 gone menu_shown || fail "a click on the main page left the popup open"

# ---- Choices: row 3 for button 2, Media row 5 for button 4, macro 2 for button 5 ----
click_key main 26
choose_row 3
click_key main 28
choose_in_group 8 5 menu-second-en
click_key main 29
choose_in_group 9 2 menu-macros-en
no_reports "choosing functions"
park_pointer
shot labels-en
click_key main 3
sleep 1.5
expect_report "F 07 10 02 03" "button 2: middle click"
expect_report "F 07 10 05 11" "button 4: code 25"
expect_report "F 07 10 04 1F" "button 5: macro 2, played by the PC"
expect_value Config1 K2 3 "button 2"
expect_value Config1 K4 25 "button 4"
expect_value Config1 K5 42 "button 5"

# ---- Programs started for the user: children of the desktop's shell ----
# This PC for button 6, Command Prompt for button 7 (Shortcuts rows 6 and 9).
# The elevated program is never their parent: they run with the shell's
# token, the user's normal rights.
click_key main 30
choose_in_group 10 6
click_key main 31
choose_in_group 10 9
: >"$TRACE"
click_key main 3
wait_until 15 grep -q "^I 06" "$TRACE" || fail "no ready report after the apply of This PC and Command Prompt"
"$ROOT/tools/virtual_mouse.sh" --folder "$APP" click 6
sleep 1  # one action at a time: a press while one runs is not queued
"$ROOT/tools/virtual_mouse.sh" --folder "$APP" click 8
started_by_shell() { wine "$SYSTEM_PROBE" processes 2>/dev/null | tr -d '\r' | grep -q " $1 <- explorer.exe$"; }
wait_until 20 started_by_shell cmd.exe || fail "Command Prompt was not started by the desktop's shell"
wait_until 20 started_by_shell explorer.exe || fail "This PC was not opened by the desktop's shell"
wine "$SYSTEM_PROBE" processes 2>/dev/null | tr -d '\r' | grep -E " (cmd|explorer|calc)\.exe <- NUV_Talv\.exe$" &&
  fail "a program was started as a child of the elevated program"
# They go again, so that the pages stay in front for what follows.
for id in $(wine "$SYSTEM_PROBE" processes 2>/dev/null | tr -d '\r' |
            awk '/ (cmd|explorer)\.exe <- explorer\.exe$/ {print $1}'); do
  wine taskkill /F /PID "$id" >/dev/null 2>&1
done

# ---- Button 7 keeps the only primary click ----
click_key main 6             # slot 3
click_key main 31
wait_until 15 warning_shown || fail "no warning for button 7, the only primary click"
answer_warning 31 0
choose_row 2
: >"$TRACE"
click_key main 3
sleep 1.5
expect_value Config3 K7 1 "button 7, the only primary click, given another function"
expect_report "F 07 10 08 01" "button 7 keeps the primary click"

# ---- Portuguese ----
click_key main 17
click_key main 31
if wait_until 15 warning_shown; then
  sleep 0.5
  wide_shot warning-pt
  answer_warning 31 0
  if wait_until 15 menu_shown; then
    sleep 0.5
    wide_shot menu-first-pt
    menu_origin
    xdotool mousemove $((MX + 60)) $((MY + 6 * ROW + ROW / 2)) sleep 0.3 \
      mousemove $((MX + 100)) $((MY + 6 * ROW + ROW / 2)) sleep 1
    wide_shot menu-second-pt
  else
    fail "no function popup in Portuguese"
  fi
  park_pointer
  xdotool click 1
  wait_until 10 gone menu_shown || fail "the Portuguese popup stayed open"
else
  fail "no warning in Portuguese"
fi
click_key main 18
close_with_wm_close

timeout 30 wineserver -w 2>/dev/null
rm -rf "$APP"
[ "$failures" -eq 0 ] && echo "e2e functions: all checks passed"
[ "$failures" -eq 0 ]
