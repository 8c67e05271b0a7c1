#!/usr/bin/env bash
# End-to-end journeys through the clicks of the three pages, driven as a
# person drives the program: the pointer moved onto the skin's rectangles
# (read from the shipped skin files) and clicked, paths typed into the
# system's file dialogs. Checked by what the mouse, the files, Windows and the
# eye see: the virtual mouse's trace, config.ini, the macro files, the
# registry, screenshots.
#
#   1. Every kind of setting on every page, then apply: the exact reports,
#      the slot in config.ini, the pointer speed and wheel lines of Windows.
#      Then power events: battery changes send and write nothing; a resume
#      sends what the apply sent once more, byte for byte, without an edit
#      made since.
#   2. Slots; cancel drops unapplied edits (but keeps the DPI level) and
#      hides the window.
#   3. Profile export through the save dialog, import of a hand-written file
#      through the open dialog: shown, not sent until apply; an import of
#      config.ini itself, which holds no profile, changes nothing and says so;
#      a release over Reset with no press before it does nothing. Both dialogs
#      belong to the helper NUV_Talv_FileDialog.exe, a child of the desktop's
#      Explorer, and the main window is disabled while they are up; a helper
#      killed during its dialog leaves the program usable and unchanged.
#   4. Reset: every slot from its template, the default macros become the
#      working file, then the apply; another program reading config.ini all
#      the while finds the old file or the new one, never a part; a save that
#      cannot be made leaves the file and says so.
#   5. Portuguese and back: VER_SEL, captions, the other language's macros,
#      the tray menu; fast switching.
#   6. Odd clicks: a press released elsewhere, a press on slot 3 dragged onto
#      Reset (nothing), double clicks.
#   7. Tray and minimise keys, and dragging the window by its face.
#   8. A fault in a handler (the test switch -TESTFAULT) ends the program:
#      a C++ exception through the close sequence (the exit command reaches
#      the mouse, exit code 3), an access violation and a failed stack canary
#      at once (no exit command; the fault's code: 0xC0000005, 0xC0000409);
#      the pointer speed is set back after each.
#   9. Sign-out: yes to the session's end, nothing when it is called off,
#      then the close sequence (exit command, pointer speed) and the end.
#
# Needs DISPLAY and WINEPREFIX (the test script provides both), a built dist/
# and build/win/bench/window_state.exe.
set -u
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS="${1:-$ROOT/build/results}"
. "$ROOT/tests/e2e/lib.sh"

# A save that a crash interrupted left its temporary file: the start removes it.
printf '[Init]\r\nCurConfig=3\r\n' >"$APP/config.ini.tmp"
start_shown || exit 1
: >"$TRACE"
[ -e "$APP/config.ini.tmp" ] && fail "the start left a stale config.ini.tmp"

# ---- 1. Every kind of setting, then apply ----
# Slot 1 holds the factory profile: all four DPI levels on, level 0 current.
click_key main 47            # level 2 off
click_key main 55            # level 2 is off: it cannot become current
click_key main 56            # level 3 current
click_key main 73            # level 3: value index 3 (2000 DPI)
click_key main 42            # wheel: alternate
shot journey-main
click_key main 10            # Advanced
click_key advanced 15        # pointer speed index 7
click_key advanced 22        # scroll lines index 4
click_key advanced 30 113    # slider: 113 * 300 / 226 = 150 ms
click_key advanced 31
click_key advanced 31        # 152
click_key advanced 32        # 151
click_key advanced 7         # macro hold mode on
shot journey-advanced
click_key main 11            # Lighting
click_key colour 2           # LED mode 2
shot journey-colour
no_reports "editing the pages"
set_pointer_speed 16
click_key main 3             # Apply
sleep 1.5
expect_report "F 07 10 01 01" "apply"
expect_report "F 07 11 01 00" "apply: wheel status"
expect_report "F 07 09 02 B2" "apply: DPI level 2, value 3, LED 2"
expect_report "F 07 12 12 00" "apply: fire time 151 ms / 8"
[ "$(reports | grep -c '^F 07 10 ')" -eq 7 ] || fail "apply: not seven button reports"
for kv in DPI_LEVEL=2 WHEEL_STATUS=1 MACRO_MODE2=1 DPI_SET_EN2=0 DPI_SET3=3 LED_STATUS=2 \
  DPI_SPEED=7 WHEEL_SPEED=4 FIRE_TIME=151; do
  expect_value Config1 "${kv%%=*}" "${kv#*=}" "apply"
  expect_value Config6 "${kv%%=*}" "${kv#*=}" "apply's mirror"
done
[ "$(pointer_speed)" = "14" ] || fail "apply: pointer speed is '$(pointer_speed)', not 14"
[ "$(wheel_lines)" = "5" ] || fail "apply: wheel lines are '$(wheel_lines)', not 5"
power() { wine "$SYSTEM_PROBE" send 0x218 "$1" >/dev/null 2>&1 || fail "WM_POWERBROADCAST $1 not answered"; }
grep '^F ' "$TRACE" >"$APP/applied.trace"
click_key main 9
click_key main 41            # wheel back to standard: an edit not applied
cp "$CONFIG" "$APP/config-before-power.ini"
written=$(stat -c %Y.%y "$CONFIG")
set_pointer_speed 16
: >"$TRACE"
for _ in 1 2 3; do power 0xA; done
sleep 1
no_reports "battery power events"
power 0x4                    # suspend
power 0x12                   # the automatic resume
power 0x7                    # the user's resume
sleep 1.5
[ "$(grep '^F ' "$TRACE")" = "$(cat "$APP/applied.trace")" ] ||
  fail "a resume did not send the apply's reports once: $(reports | tr '\n' ';')"
cmp -s "$CONFIG" "$APP/config-before-power.ini" && [ "$(stat -c %Y.%y "$CONFIG")" = "$written" ] ||
  fail "power events wrote config.ini"
[ "$(pointer_speed)" = "16" ] || fail "power events set the pointer speed to '$(pointer_speed)'"
click_key main 42            # the wheel as applied
click_key main 11

# ---- 2. Slots and cancel ----
: >"$TRACE"
click_key main 5             # slot 2
no_reports "choosing a slot"
click_key main 3
sleep 1.5
expect_value Init CurConfig 2 "slot 2 applied"
expect_report "F 07 09 01 A2" "slot 2: level 1, value 2, LED 2"
click_key colour 0           # LED 0: dropped by the cancel
click_key main 9             # Main
click_key main 54            # level 0: kept by the cancel
: >"$TRACE"
click_key main 2             # Cancel
sleep 0.5
case "$(window_state)" in *visible=0*) ;; *) fail "cancel left the window '$(window_state)'" ;; esac
expect_value Config6 DPI_LEVEL 0 "cancel"
expect_value Config6 LED_STATUS 2 "cancel"
show_from_tray
click_key main 3
sleep 1.5
expect_report "F 07 09 00 92" "after the cancel: level 0 kept, LED 2 back"

# ---- 3. Profile export and import ----
# The dialog's window: the helper's, started by the desktop's shell, never
# the elevated program's; the program's window waits disabled behind it.
dialog_of_helper() {  # title what
  find_window --onlyvisible "^$1\$" 15 >/dev/null || return 0  # answer_file_dialog says so
  local owner
  owner=$(wine "$SYSTEM_PROBE" owner "$1" 2>/dev/null | tr -d '\r')
  case "$owner" in
    *" NUV_Talv_FileDialog.exe <- explorer.exe") ;;
    *) fail "$2: the '$1' dialog belongs to '$owner', not to the helper started by explorer.exe" ;;
  esac
  case "$(window_state)" in *enabled=0*) ;; *) fail "$2: the main window takes input under the dialog: $(window_state)" ;; esac
}
rm -f "$APP/exported.ini"
click_key main 15
dialog_of_helper "Save As" "export"
answer_file_dialog "^Save As\$" "$APP/exported"   # the dialog adds ".ini"
# Written key by key: FIRE_TIME comes last.
for _ in $(seq 1 20); do grep -q FIRE_TIME "$APP/exported.ini" 2>/dev/null && break; sleep 0.25; done
[ "$(ini_value "$APP/exported.ini" Config7 LED_STATUS)" = "2" ] &&
  [ "$(ini_value "$APP/exported.ini" Config7 DPI_LEVEL)" = "0" ] &&
  [ "$(ini_value "$APP/exported.ini" Config7 K7)" = "6" ] ||
  fail "export: exported.ini does not hold the profile: $(tr -d '\r' <"$APP/exported.ini" 2>/dev/null | tr '\n' ' ')"
printf '[Config7]\r\nK1=1\r\nK2=3\r\nK3=2\r\nDPI_LEVEL=1\r\nDPI_SET2=4\r\nDPI_SET_EN2=1\r\nLED_STATUS=9\r\nFIRE_TIME=80\r\nWHEEL_STATUS=1\r\n' \
  >"$APP/handmade.ini"
: >"$TRACE"
cp "$CONFIG" "$APP/config-before-import.ini"
click_key main 14
dialog_of_helper "Open" "import"
answer_file_dialog "^Open\$" "$APP/handmade.ini"
case "$(window_state)" in *enabled=1*) ;; *) fail "the main window stayed disabled after the import: $(window_state)" ;; esac
park_pointer
shot journey-imported
no_reports "import"
cmp -s "$CONFIG" "$APP/config-before-import.ini" || fail "import wrote config.ini"
click_key main 3
sleep 1.5
expect_report "F 07 10 02 03" "imported button 2"
expect_report "F 07 10 03 02" "imported button 3"
expect_report "F 07 09 01 C3" "imported level 1, value 4, LED limited to 3"
expect_report "F 07 12 0A 00" "imported fire time 80"
expect_report "F 07 10 05 00" "imported button 4, absent from the file"
: >"$TRACE"
click_key main 14
answer_file_dialog "^Open\$" "$CONFIG"
if find_window --onlyvisible '^NUV_Talv' 10 >/dev/null; then
  shot journey-no-profile
  xdotool key Return
  sleep 0.5
else
  fail "no message for an import of config.ini, which holds no profile"
fi
click_key main 3
sleep 1.5
expect_report "F 07 10 02 03" "after the import of config.ini: button 2 as imported before"
expect_report "F 07 12 0A 00" "after the import of config.ini: fire time as imported before"
# A helper killed while its dialog is up: nothing changes, the window takes
# input again.
cp "$CONFIG" "$APP/config-before-kill.ini"
: >"$TRACE"
click_key main 14
find_window --onlyvisible "^Open\$" 15 >/dev/null || fail "no 'Open' dialog to kill"
wine taskkill /F /IM NUV_Talv_FileDialog.exe >/dev/null 2>&1
for _ in $(seq 1 20); do case "$(window_state)" in *enabled=1*) break ;; esac; sleep 0.25; done
case "$(window_state)" in *enabled=1*) ;; *) fail "a killed helper left the main window disabled: $(window_state)" ;; esac
[ -z "$(xdotool search --onlyvisible --name '^Open$' 2>/dev/null)" ] || fail "the killed helper's dialog stayed"
no_reports "a killed helper"
cmp -s "$CONFIG" "$APP/config-before-kill.ini" || fail "a killed helper changed config.ini"
click_key main 3
sleep 1.5
expect_report "F 07 12 0A 00" "after a killed helper: the profile as imported before"
# A release with no press on the window before it (a file dialog's double
# click can leave one) does nothing, over Reset either.
read -r -a reset <<<"$(skin_rect main 16)"
cp "$CONFIG" "$APP/config-before-release.ini"
: >"$TRACE"
wine "$SYSTEM_PROBE" release $((reset[0] + reset[2] / 2)) $((reset[1] + reset[3] / 2))
sleep 1.5
no_reports "a release over Reset without a press"
cmp -s "$CONFIG" "$APP/config-before-release.ini" || fail "a release over Reset without a press reset config.ini"

# ---- 4. Reset ----
printf '[Macros]\r\nmacroNum=0\r\n' >"$APP/Macro_EN.dat"
: >"$TRACE"
md5sum <"$CONFIG" | cut -d' ' -f1 >"$APP/config-sums"
(while [ ! -e "$APP/reader-stop" ]; do md5sum <"$CONFIG"; done | cut -d' ' -f1 | sort -u >"$APP/config-seen") &
reader=$!
click_key main 16
sleep 2
touch "$APP/reader-stop"
wait "$reader"
md5sum <"$CONFIG" | cut -d' ' -f1 >>"$APP/config-sums"
if grep -qvxFf "$APP/config-sums" "$APP/config-seen"; then
  fail "a reader of config.ini during Reset saw $(wc -l <"$APP/config-seen") contents, not only the old and the new"
fi
for key in K1 K2 K3 K4 K5 K6 K7 DPI_LEVEL WHEEL_STATUS DPI_SET1 DPI_SET_EN1 DPI_SET2 DPI_SET3 \
  DPI_SET4 LED_STATUS DPI_SPEED WHEEL_SPEED FIRE_TIME; do
  for n in 2 3 4; do
    expect_value "Config$n" "$key" "$(ini_value "$CONFIG" "CfgReset$n" "$key")" "reset of slot $n"
  done
  expect_value Config5 "$key" "$(ini_value "$CONFIG" CfgReset_EN5 "$key")" "reset of slot 5"
done
for kv in K1=1 K6=18 K7=17 DPI_SET1=1 DPI_SET3=4 DPI_SPEED=4 WHEEL_SPEED=2 FIRE_TIME=50; do
  expect_value Config1 "${kv%%=*}" "${kv#*=}" "reset of slot 1"
done
macro_lines() { tr -d '\r' <"$1" | grep -E '^(macroNum|[0-9]+)=' | sort; }
[ "$(macro_lines "$APP/Macro_EN.dat")" = "$(macro_lines "$APP/skins/INI_EN/defMacro.dat")" ] ||
  fail "reset: Macro_EN.dat is not the default macro file"
[ "$(reports | grep -c '^F 07 10 ')" -eq 7 ] || fail "reset: no apply followed"
expect_value Config6 K4 "$(ini_value "$CONFIG" CfgReset2 K4)" "reset's apply of slot 2"
# A save the system refuses (here the new file cannot be made: a folder holds
# its name) leaves config.ini as it was and says so.
mkdir "$APP/config.ini.tmp"
cp "$CONFIG" "$APP/config-refused.ini"
click_key main 47            # DPI level 2 on or off: a change to save
click_key main 3             # Apply
if find_window --onlyvisible '^NUV_Talv' 10 >/dev/null; then
  shot journey-save-failed
  xdotool key Return
  sleep 0.5
else
  fail "no message when config.ini could not be saved"
fi
cmp -s "$CONFIG" "$APP/config-refused.ini" || fail "a refused save changed config.ini"
rmdir "$APP/config.ini.tmp"
click_key main 47            # back as it was
click_key main 3
sleep 1.5

# ---- 5. Portuguese and back ----
click_key main 18            # English once more: changes nothing visible
park_pointer
shot journey-english
: >"$TRACE"
click_key main 17
expect_value Init VER_SEL 0 "Portuguese"
park_pointer
shot journey-portuguese
compare -metric AE "$RESULTS/e2e-journey-english.png" "$RESULTS/e2e-journey-portuguese.png" \
  null: 2>/dev/null && fail "the Portuguese face looks like the English one"
click_key main 10
park_pointer
shot journey-portuguese-advanced
# Save writes the one working file, now the Portuguese one, with the macros
# loaded from it: emptied on disk, it holds them again; Macro_EN.dat stays.
cp "$APP/Macro_CN.dat" "$APP/Macro_CN-before.dat"
cp "$APP/Macro_EN.dat" "$APP/Macro_EN-before.dat"
printf '[Macros]\r\nmacroNum=0\r\n' >"$APP/Macro_CN.dat"
click_key advanced 5
[ "$(macro_lines "$APP/Macro_CN.dat")" = "$(macro_lines "$APP/Macro_CN-before.dat")" ] ||
  fail "Save after the switch did not write the Portuguese macros to Macro_CN.dat"
cmp -s "$APP/Macro_EN.dat" "$APP/Macro_EN-before.dat" || fail "Save after the switch wrote Macro_EN.dat"
click_key main 13            # to the tray: its menu in Portuguese
sleep 0.5
if tray_point; then
  xdotool mousemove "$tray_x" "$tray_y" click 3
  sleep 1
  import -window root -crop 240x120+0+0 +repage "$RESULTS/e2e-journey-tray-menu-pt.png" 2>/dev/null
  xdotool key Escape
  sleep 0.5
fi
show_from_tray
click_key main 9
for _ in 1 2 3 4 5 6; do           # fast switching
  click_key main 17
  click_key main 18
done
expect_value Init VER_SEL 1 "English"
park_pointer
shot journey-english-again
compare -metric AE "$RESULTS/e2e-journey-english.png" "$RESULTS/e2e-journey-english-again.png" \
  null: 2>/dev/null || fail "back in English the face differs from before"
no_reports "switching the language"

# ---- 6. Odd clicks ----
: >"$TRACE"
read -r -a slot3 <<<"$(skin_rect main 6)"
window_origin
# Pressed on slot 3, released off every element: the release acts on what is
# under the pointer, i.e. nothing.
xdotool mousemove $((WX + slot3[0] + 5)) $((WY + slot3[1] + 5)) sleep 0.2 mousedown 1 sleep 0.2 \
  mousemove $((WX + 100)) $((WY + 30)) sleep 0.2 mouseup 1 sleep 0.3
# Pressed on slot 3, dragged onto Reset and released there: a release acts
# only on the key pressed, so nothing is reset, chosen, sent or written.
cp "$CONFIG" "$APP/config-before-drag.ini"
xdotool mousemove $((WX + slot3[0] + 5)) $((WY + slot3[1] + 5)) sleep 0.2 mousedown 1 sleep 0.2 \
  mousemove $((WX + reset[0] + reset[2] / 2)) $((WY + reset[1] + reset[3] / 2)) sleep 0.3
shot journey-dragged-onto-reset
xdotool mouseup 1 sleep 1.5
no_reports "a press on slot 3 released on Reset"
cmp -s "$CONFIG" "$APP/config-before-drag.ini" || fail "a press on slot 3 released on Reset changed config.ini"
click_key main 10
read -r -a up <<<"$(skin_rect advanced 31)"
read -r -a down <<<"$(skin_rect advanced 32)"
click_key advanced 30 0      # fire time 0
xdotool mousemove $((WX + up[0] + 5)) $((WY + up[1] + 5)) sleep 0.2 click --repeat 2 --delay 100 1 sleep 0.3
xdotool mousemove $((WX + down[0] + 5)) $((WY + down[1] + 5)) sleep 0.2 click --repeat 2 --delay 100 1 \
  sleep 0.2 click --repeat 2 --delay 100 1 sleep 0.3
xdotool mousemove $((WX + up[0] + 5)) $((WY + up[1] + 5)) sleep 0.2 click --repeat 2 --delay 100 1 sleep 0.3
no_reports "odd clicks"
click_key main 3
sleep 1.5
# 0 + 2 (a double click is two presses) - 2 (limited at 0) + 2 = 2 ms: 2 / 8 = 0.
expect_value Config2 FIRE_TIME 2 "double clicks on the fire time steps"
expect_value Init CurConfig 2 "a press on slot 3 released elsewhere"

# ---- 7. Tray, minimise, drag ----
click_key main 9
click_key main 12
sleep 0.5
case "$(window_state)" in *iconic=1*) ;; *) fail "the minimise key left the window '$(window_state)'" ;; esac
# A second start restores the first copy's window.
timeout 60 wine "$APP/NUV_Talv.exe" >>"$LOG" 2>&1 || fail "the second copy did not end by itself"
sleep 1
case "$(window_state)" in *iconic=0*) ;; *) fail "the second start left the window '$(window_state)'" ;; esac
click_key main 13
sleep 0.5
case "$(window_state)" in *visible=0*) ;; *) fail "the tray key left the window '$(window_state)'" ;; esac
show_from_tray
window_origin
x0=$WX y0=$WY
xdotool mousemove $((WX + 100)) $((WY + 30)) sleep 0.2 mousedown 1 sleep 0.2 \
  mousemove $((WX + 110)) $((WY + 35)) sleep 0.2 mousemove $((WX + 220)) $((WY + 90)) sleep 0.3 mouseup 1
sleep 0.5
window_origin
[ "$WX" -eq $((x0 + 120)) ] && [ "$WY" -eq $((y0 + 60)) ] ||
  fail "dragging the face by (120, 60) moved the window from $x0,$y0 to $WX,$WY"
close_with_wm_close

# ---- 8. A fault ends the program: an exception through the close sequence,
# a hard fault at once ----
# wParam of the test message, the exit code as Wine's launcher gives it (its
# low byte), the fault.
for fault in "0 3 exception" "1 5 access-violation" "2 9 stack-canary"; do
  read -r kind code name <<<"$fault"
  start_app -TESTFAULT
  app=$!
  if ! find_window --onlyvisible "^$TITLE\$" 60 >/dev/null; then
    fail "the main window did not appear with -TESTFAULT"
    continue
  fi
  sleep 2
  : >"$TRACE"
  set_pointer_speed 16
  wine "$SYSTEM_PROBE" post NUV_Talv.TestFault "$kind"
  window_gone 20 || fail "the program did not end after a fault in a handler ($name)"
  wait "$app"
  rc=$?
  [ "$rc" -eq "$code" ] || fail "exit code $rc after a fault in a handler ($name), not $code"
  [ "$(pointer_speed)" = "10" ] || fail "pointer speed after a fault ($name) is '$(pointer_speed)', not 10"
  if [ "$kind" -eq 0 ]; then
    grep -q '^F 07 20' "$TRACE" || fail "no exit command (07 20) after an exception in a handler"
  elif grep -q '^F' "$TRACE"; then
    fail "reports after a hard fault ($name): $(grep '^F' "$TRACE" | head -n 3 | tr '\n' ' ')"
  fi
done

# ---- 9. Sign-out ----
start_shown
app=$!
: >"$TRACE"
set_pointer_speed 16
[ "$(wine "$SYSTEM_PROBE" send 0x11 2>/dev/null | tr -d '\r')" = "1" ] ||
  fail "WM_QUERYENDSESSION was not answered yes"
wine "$SYSTEM_PROBE" send 0x16 0 >/dev/null 2>&1
sleep 0.5
[ -n "$(xdotool search --name "^$TITLE\$" 2>/dev/null)" ] || fail "a session end called off ended the program"
no_reports "a session end called off"
wine "$SYSTEM_PROBE" send 0x16 1 >/dev/null 2>&1
window_gone 1 || fail "the window stayed after WM_ENDSESSION"
grep -q '^F 07 20' "$TRACE" || fail "no exit command (07 20) at the session's end"
[ "$(pointer_speed)" = "10" ] || fail "pointer speed after the session's end is '$(pointer_speed)', not 10"
for _ in $(seq 1 40); do kill -0 "$app" 2>/dev/null || break; sleep 0.25; done
kill -0 "$app" 2>/dev/null && fail "the process outlived WM_ENDSESSION"

timeout 30 wineserver -w 2>/dev/null
rm -rf "$APP"
[ "$failures" -eq 0 ] && echo "e2e journeys: all checks passed"
[ "$failures" -eq 0 ]
