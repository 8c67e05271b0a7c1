# Shared by the end-to-end scripts: a copy of dist/ to run, the program's
# start and close, windows found by title, screenshots, the registry values
# the program sets. The sourcing script sets ROOT and RESULTS first.
# shellcheck shell=bash
TITLE="QUARVEL 241-7730 GAMING MOUSE"
mkdir -p "$RESULTS"
# Each script runs the program from a copy of dist/ of its own.
APP="$(mktemp -d /tmp/nuv-e2e-XXXXXX)"
cp -r "$ROOT/dist/." "$APP/"
# The copy goes however the script ends (the value of now: a script may point
# APP elsewhere later).
trap "rm -rf '$APP'" EXIT
# The virtual mouse (-VIRTUALMOUSE) keeps its trace and control file in the
# application folder, i.e. in this copy of dist/.
TRACE="$APP/virtual_mouse.trace"
VIRTUAL=(-VIRTUALMOUSE)
LOG="$RESULTS/e2e-wine.log"
touch "$LOG"
failures=0
fail() { echo "e2e FAIL: $*"; failures=$((failures + 1)); }
note() { echo "e2e: $*"; }

find_window() {  # [--onlyvisible] title-regex seconds
  local only=""
  [ "$1" = "--onlyvisible" ] && { only="--onlyvisible"; shift; }
  local found
  for _ in $(seq 1 $(($2 * 4))); do
    found=$(xdotool search $only --name "$1" 2>/dev/null | head -n1)
    [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.25
  done
  return 1
}

window_gone() {  # seconds
  for _ in $(seq 1 $(($1 * 4))); do
    [ -z "$(xdotool search --name "^$TITLE\$" 2>/dev/null)" ] && return 0
    sleep 0.25
  done
  return 1
}

# True once the main window is off the screen (and a second later).
wait_hidden() {
  for _ in $(seq 1 40); do
    if [ -z "$(xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null)" ]; then
      sleep 1
      return 0
    fi
    sleep 0.25
  done
  return 1
}

set_pointer_speed() {
  wine reg add 'HKCU\Control Panel\Mouse' /v MouseSensitivity /d "$1" /f >/dev/null 2>&1
}
pointer_speed() {
  wine reg query 'HKCU\Control Panel\Mouse' /v MouseSensitivity 2>/dev/null | tr -d '\r' |
    awk '/MouseSensitivity/ {print $NF}'
}

# The window's face: the mask's size at the top-left corner of the screen.
shot() {  # name [geometry]
  import -window root -crop "${2:-720x480}+0+0" +repage "$RESULTS/e2e-$1.png" 2>/dev/null ||
    fail "screenshot $1 could not be taken"
}
# Pixels of the focus mark's colour (pure yellow) in a screenshot.
focus_pixels() {  # screenshot
  convert "$1" -fill black +opaque '#FFFF00' -fill white -opaque '#FFFF00' \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo 0
}
# The face with the popups that open beside and below it.
wide_shot() { shot "$1" 900x600; }

start_app() {  # args... (after -VIRTUALMOUSE while VIRTUAL holds it; -HIDE goes last)
  wine "$APP/NUV_Talv.exe" "${VIRTUAL[@]}" "$@" >>"$LOG" 2>&1 &
}

# Starts the program shown and waits until its start-up apply is over.
start_shown() {
  start_app
  find_window --onlyvisible "^$TITLE\$" 60 >/dev/null || { fail "the main window did not appear"; return 1; }
  sleep 2
}

close_with_wm_close() {
  set_pointer_speed 16
  : >"$TRACE"
  wine taskkill /IM NUV_Talv.exe >/dev/null 2>&1
  window_gone 20 || { fail "the window did not close"; return; }
  timeout 30 wineserver -w 2>/dev/null
  grep -q '^F 07 20' "$TRACE" || fail "no 07 20 report in the trace after the close"
  [ "$(pointer_speed)" = "10" ] || fail "pointer speed after close is '$(pointer_speed)', not 10"
}

# True when the main window is on the screen now.
window_shown() { [ -n "$(xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null)" ]; }

# Polls every 50 ms that the main window never comes on the screen: first,
# when given, until `until-command` succeeds (60 s at most), then for
# `seconds`. False when the window showed or the command never succeeded.
never_shown() {  # seconds [until-command...]
  local seconds=$1 met=1
  shift
  if [ $# -gt 0 ]; then
    met=0
    for _ in $(seq 1 1200); do
      window_shown && return 1
      "$@" && { met=1; break; }
      sleep 0.05
    done
  fi
  for _ in $(seq 1 $((seconds * 20))); do
    window_shown && return 1
    sleep 0.05
  done
  [ "$met" -eq 1 ]
}

# Starts with -HIDE: the window must never come on the screen (polled every
# 50 ms until the tray icon is there and 3 s beyond); sets tray_x, tray_y to a
# point on the tray icon. False (with the failure reported) when the window
# shows or the icon does not come.
start_hidden_in_tray() {
  start_app -HIDE
  if ! never_shown 3 tray_point; then
    if window_shown; then fail "a start with -HIDE showed the window"; else fail "no tray icon after the hidden start"; fi
    close_with_wm_close
    return 1
  fi
  tray_point
}

# ---- Driving the pages as a person does ----

# x, y, width and height of key `key` in section `section` (BUTTONPOS, or
# EDIT and MACRODISPLAY for the macro editor's boxes and lists) of the English
# skin file of page `page` (main, advanced, colour), as shipped.
skin_rect() {  # page key [section]
  local ini
  case "$1" in
    main) ini=skin_main_en.ini ;;
    advanced) ini=skin_advance_en.ini ;;
    colour) ini=skin_color_en.ini ;;
  esac
  iconv -f UTF-16 -t UTF-8 "$APP/skins/INI_EN/$ini" | tr -d '\r' |
    awk -F'[=,]' -v s="[${3:-BUTTONPOS}]" -v key="$2" '/^\[/ {section = $0} section == s && $1 == key {print $3, $4, $5, $6; exit}'
}

main_window() { xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null | head -n1; }

# WX, WY: the main window's top-left corner on the screen.
window_origin() {
  local id X Y WIDTH HEIGHT SCREEN WINDOW
  id=$(main_window)
  [ -n "$id" ] || { WX=0 WY=0; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$id")"
  WX=$X WY=$Y
}

# Moves the pointer onto an element (its centre, or `offset` pixels from its
# left edge) and clicks it with the left button.
click_key() {  # page key [offset]
  local r
  read -r -a r <<<"$(skin_rect "$1" "$2")"
  [ "${#r[@]}" -eq 4 ] || { fail "no rectangle for $1 key $2"; return 1; }
  window_origin
  xdotool mousemove $((WX + $(px $((r[0] + ${3:-$((r[2] / 2))}))))) $((WY + $(px $((r[1] + r[3] / 2))))) \
    sleep 0.15 click 1 sleep 0.3
}

# The display's DPI as the program sees it (scale.sh sets it after this), and a skin
# unit in its pixels, rounded as the program rounds (halves up).
DPI=96
px() { echo $(((2 * $1 * DPI + 96) / 192)); }

# A point of the face that lies on no element.
park_pointer() {
  window_origin
  xdotool mousemove $((WX + $(px 100))) $((WY + $(px 30))) sleep 0.3
}

# The value of `key` in `section` of an INI file written in ANSI.
ini_value() {  # file section key
  tr -d '\r' <"$1" | awk -F= -v s="[$2]" -v k="$3" \
    '/^\[/ {inside = ($0 == s); next} inside && $1 == k {print substr($0, length(k) + 2); exit}'
}

wheel_lines() {
  wine reg query 'HKCU\Control Panel\Desktop' /v WheelScrollLines 2>/dev/null | tr -d '\r' |
    awk '/WheelScrollLines/ {print $NF}'
}

# tray_x, tray_y: a point on the tray icon.
tray_point() {
  local tray X Y WIDTH HEIGHT SCREEN WINDOW
  tray=$(xdotool search --onlyvisible --name "^Wine System Tray\$" 2>/dev/null | head -n1)
  [ -n "$tray" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$tray")"
  tray_x=$((X + 10)) tray_y=$((Y + 10))
}

# The Windows form of a Linux path (without starting a wineserver).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# ---- What the mouse, the files and the window system say ----

CONFIG="$APP/config.ini"
STATE_PROBE="$ROOT/build/win/bench/window_state.exe"
SYSTEM_PROBE="$ROOT/build/win/bench/system_probe.exe"

# Feature reports the mouse got since the trace was last emptied.
reports() { grep "^F " "$TRACE" 2>/dev/null | cut -c1-13; }
no_reports() {  # what
  [ -z "$(reports)" ] || fail "$1 sent reports to the mouse: $(reports | tr '\n' ';')"
}
expect_report() {  # "F 07 09 02 B2" what
  reports | grep -qx "$1" || fail "$2: no '$1' in the trace ($(reports | tr '\n' ';'))"
}
expect_value() {  # section key value what
  local got
  got=$(ini_value "$CONFIG" "$1" "$2")
  [ "$got" = "$3" ] || fail "$4: [$1] $2 is '$got', not '$3'"
}
window_state() { wine "$STATE_PROBE" 2>/dev/null | tr -d '\r'; }
# Waits for a dialog by title, types a full path into it and presses Return.
# The dialog is the helper's, another process: with no window manager to hand
# it the keyboard, it is given the focus as a click on it would.
answer_file_dialog() {  # title-regex linux-path
  local dialog
  dialog=$(find_window --onlyvisible "$1" 15) || { fail "no '$1' dialog"; return 1; }
  sleep 0.5
  xdotool windowfocus "$dialog" 2>/dev/null
  sleep 0.3
  xdotool type --delay 20 "$(windows_path "$2")"
  xdotool key Return
  for _ in $(seq 1 40); do
    [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ] && break
    sleep 0.25
  done
  sleep 0.5
}
# A double-click on the tray icon. Wine's tray window, standing alone on a
# screen without a window manager, may take the first clicks to activate
# itself: the double-click is repeated until the window shows.
show_from_tray() {
  tray_point || { fail "no tray icon"; return 1; }
  for _ in 1 2 3 4; do
    xdotool mousemove "$tray_x" "$tray_y" sleep 0.3 click --repeat 2 --delay 80 1 sleep 0.7
    case "$(window_state)" in *visible=1*) return 0 ;; esac
  done
  fail "the tray icon did not show the window"
  return 1
}


# ---- The function popups and the macro editor ----

wait_until() {  # seconds command...
  local n=$(($1 * 4))
  shift
  for _ in $(seq 1 "$n"); do "$@" && return 0; sleep 0.25; done
  return 1
}
gone() { ! "$@"; }

# The warning has no title: it is the top-level window of its mask's size.
warning_shown() {
  [ -n "${WARNING_SIZE:-}" ] || WARNING_SIZE=$(identify -format '%wx%h' "$APP/skins/warning_mask.jpg")
  xwininfo -root -tree 2>/dev/null | grep -q " ${WARNING_SIZE}+"
}
menu_shown() { [ -n "$(xdotool search --onlyvisible --name '^MainMenuDlg$' 2>/dev/null)" ]; }

# The warning's choice: 0 continue, 1 cancel (warning keys), under label `label`.
answer_warning() {  # label choice
  local r c cx cy
  read -r -a r <<<"$(skin_rect main "$1")"
  c=$(iconv -f UTF-16 -t UTF-8 "$APP/skins/INI_EN/LBWarning_en.ini" | tr -d '\r' |
    awk -F'[=,]' -v key="$2" '$1 == key {print $3 + $5 / 2, $4 + $6 / 2}')
  window_origin
  read -r cx cy <<<"$c"
  xdotool mousemove $((WX + r[0] + cx)) $((WY + r[1] + r[3] + cy)) sleep 0.3 click 1
}

# The first level of function popups of a button that holds the only primary
# click: its label, the warning, Continue.
open_function_popups() {  # label
  click_key main "$1"
  wait_until 15 warning_shown || { fail "no warning for label $1, the only primary click"; return 1; }
  answer_warning "$1" 0
  wait_until 15 menu_shown || { fail "Continue did not open the function popup"; return 1; }
}

# On the advanced page: a macro named `name` made with New and recorded from
# the keys of one xdotool command (its arguments), then Stop.
start_recording() {  # name
  local box
  read -r -a box <<<"$(skin_rect advanced 4 EDIT)"
  window_origin
  xdotool mousemove $((WX + box[0] + 20)) $((WY + box[1] + 10)) sleep 0.2 click 1 \
    sleep 0.2 key ctrl+a type "$1"
  click_key advanced 2         # New
  click_key advanced 4         # Record
}
record_macro() {  # name xdotool-arguments...
  start_recording "$1"
  shift
  xdotool "$@"
  click_key advanced 4         # Stop
}
