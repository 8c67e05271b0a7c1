#!/usr/bin/env bash
# Without a pointer and with a screen reader: the program driven by real key
# presses alone, and read from another process as assistive technology reads
# it (Microsoft Active Accessibility, through tests/win32/probes/
# accessibility_probe.exe).
#
#   1. The main page's accessible children are its keys, with names, roles
#      and states; the default action of Apply applies.
#   2. With the keyboard alone: Tab reaches a button label, Return opens its
#      popup (the warning first, answered with the arrows), the arrows choose
#      a function of a group, Return takes it, Shift+Tab reaches Apply, Return
#      applies. The accessible focus names each key on the way.
#   3. Portuguese by the keyboard: the children named in the other language.
#   4. The focus mark on each page, the macro editor's controls in the tab
#      order, screenshots to look at; a screen reader's focus request.
#
# Needs DISPLAY and WINEPREFIX (the test script provides both), a built dist/
# and build/win/bench/accessibility_probe.exe.
set -u
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS="${1:-$ROOT/build/results}"
. "$ROOT/tests/e2e/lib.sh"

PROBE="$ROOT/build/win/bench/accessibility_probe.exe"
access() { wine "$PROBE" "$@" 2>/dev/null | tr -d '\r'; }
keys() { xdotool key --delay 150 "$@"; sleep 0.6; }
expect_focus() {  # name what
  local got
  got=$(access focus)
  [ "$got" = "$1" ] || fail "$2: the accessible focus is '$got', not '$1'"
}
# A child as "name|role|states" (without its place and value).
child() { access children | cut -d'|' -f2-4 | grep -Fx "$1"; }
expect_child() {  # "name|role|states" what
  child "$1" >/dev/null || fail "$2: no child '$1' ($(access children | cut -d'|' -f2-4 | head -n 8 | tr '\n' ';'))"
}

before=$(ini_value "$APP/Macro_EN.dat" Macros macroNum)
start_shown || exit 1
: >"$TRACE"

# ---- 1. Names, roles, states; the default action ----
expect_child "Main|tab|pressed+selected+focusable" "main page"
expect_child "Profile 1|radio|checked+focusable" "main page"
expect_child "Profile 3|radio|focusable" "main page"
expect_child "Close|button|focusable" "main page"
expect_child "Minimise|button|focusable" "main page"
expect_child "Web site|button|focusable" "main page"
expect_child "DPI level 2 on|checkbox|checked+focusable" "main page"
expect_child "DPI level 1 active|radio|checked+focusable" "main page"
expect_child "1200 DPI|radio|checked+focusable" "main page"
expect_child "Button 1: Left Click|button|focusable+haspopup" "main page"
[ "$(access children | wc -l)" -eq 55 ] || fail "the main page has $(access children | wc -l) children, not 55"
access do Apply >/dev/null || fail "Apply has no default action"
wait_until 10 grep -q "^F 07 10 01 01" "$TRACE" || fail "the default action of Apply sent no apply"
: >"$TRACE"

# ---- 2. The keyboard alone ----
access events 40000 >"$RESULTS/e2e-keyboard-events.txt" &
events=$!
sleep 3
shot keyboard-none
keys Tab
expect_focus "Main" "the first Tab"
shot keyboard-main
mark=$(($(focus_pixels "$RESULTS/e2e-keyboard-main.png") - $(focus_pixels "$RESULTS/e2e-keyboard-none.png")))
[ "$mark" -ge 600 ] || fail "the focus mark on the Main tab has $mark pixels, not about 2 * (138 + 32) * 2"
keys Tab Tab
expect_focus "Button 1: Left Click" "two Tabs on"
keys Return
wait_until 15 warning_shown || fail "Return on the only primary click's label showed no warning"
keys Right
[ "$(access --owned-by-title "$TITLE" focus)" = "Continue" ] ||
  fail "Right in the warning: its focus is '$(access --owned-by-title "$TITLE" focus)'"
keys Return
wait_until 15 menu_shown || fail "Continue by Return opened no function popup"
keys Down Down Down Down Down Down Down
[ "$(access --title MainMenuDlg focus)" = "Mouse Functions" ] ||
  fail "seven Downs: the popup's focus is '$(access --title MainMenuDlg focus)'"
keys Right Down
wide_shot keyboard-popups
keys Return
wait_until 10 gone menu_shown || fail "Return on a function left the popup open"
expect_focus "Button 1: Fire Button" "back from the popup"
keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
expect_focus "Apply" "seven Shift+Tabs back"
no_reports "moving the focus"
keys Return
wait_until 10 grep -q "^F 07 10 02 01" "$TRACE"
expect_report "F 07 10 01 08" "Return on Apply: button 1 fires"
expect_report "F 07 10 02 01" "Return on Apply: button 2 has the primary click"
expect_value Config1 K1 12 "the function chosen by the keyboard"
expect_value Config1 K2 1 "the primary click moved on"
wait "$events"
for name in "Main" "Button 1: Left Click" "Continue" "Mouse Functions" "Fire Button" \
  "Button 1: Fire Button" "Apply"; do
  grep -qx "focus|$name" "$RESULTS/e2e-keyboard-events.txt" ||
    fail "no focus event for '$name' ($(tr '\n' ';' <"$RESULTS/e2e-keyboard-events.txt"))"
done
grep -qx "name|Button 1: Fire Button" "$RESULTS/e2e-keyboard-events.txt" ||
  fail "no name change for the label whose function changed"

# ---- 3. Portuguese by the keyboard, and back ----
keys Tab Left
expect_focus "Português" "the language group"
keys space
sleep 2
expect_child "Aplicar|button|focusable" "Portuguese"
expect_child "Fechar|button|focusable" "Portuguese"
expect_child "Perfil 1|radio|checked+focusable" "Portuguese"
expect_child "Nível de DPI 2 ligado|checkbox|checked+focusable" "Portuguese"
expect_focus "Português" "after the switch"
keys Right space
sleep 2
expect_child "Apply|button|focusable" "English again"

# ---- 4. The focus mark on each page; the macro editor in the tab order ----
keys Tab Tab Tab Tab Right Right space
expect_focus "Lighting" "the page tabs by the arrows"
keys Tab Tab
mode=$(access children | awk -F'|' '$3 == "radio" && $4 ~ /checked/ && $2 !~ /^(Profile|English)/ {print $2}')
expect_focus "$mode" "Tab into the lighting modes stops at the one that is on"
shot keyboard-lighting
keys shift+Tab shift+Tab Left space Tab Tab
expect_focus "Macros" "the advanced page's first stop"
keys Tab
expect_focus "Macro name" "the macro editor's name box"
xdotool type --delay 120 kb
shot keyboard-macro-name
keys Tab Tab
expect_focus "New" "Tab from the name box over the event list"
keys space
expect_focus "Macros" "New gives the macro list the focus"
keys Tab Tab Tab Tab Tab Tab
expect_focus "Save" "six Tabs on from the macro list"
keys space
macros=$(ini_value "$APP/Macro_EN.dat" Macros macroNum)
[ "$macros" = "$((before + 1))" ] || fail "New and Save by the keyboard: macroNum $macros, not $((before + 1))"
shot keyboard-advanced
access children | cut -d'|' -f2 | grep -qx "Events" || fail "the event list is not a child"
access select "Profile 3" >/dev/null && sleep 0.5
expect_focus "Profile 3" "a screen reader's focus request"

if [ "$failures" -eq 0 ]; then echo "e2e keyboard: all checks passed"; else echo "e2e keyboard: $failures check(s) failed"; fi
close_with_wm_close
[ "$failures" -eq 0 ]
