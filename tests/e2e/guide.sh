#!/usr/bin/env bash
# The pictures of the user guide (README.md), taken from one start of the
# real program as a person reaches each view: the three pages by their tabs
# in English and, after the language key, in Portuguese; the function popups
# of button 1 (its label, the warning, Continue, a group row); a macro
# recorded on the advanced page. Before each page's picture the pointer rests
# on no element, so nothing is hovered. Saved as palette PNGs in the results folder:
#
#   guide-{main,advanced,colour}-{en,pt}.png   the 720x480 face
#   guide-functions-en.png                     the face with both popup levels
#   guide-macro-en.png                         the recorded macro's events
#
# scripts/guide_pictures.sh copies them into docs/; guide_current.sh tells
# whether docs/ still shows the current program.
#
# Needs DISPLAY and WINEPREFIX (the test script provides both) and a built dist/.
set -u
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS="${1:-$ROOT/build/results}"
. "$ROOT/tests/e2e/lib.sh"

# The face, in 256 colours without dithering: under half the size, and the
# same face gives the same file.
guide_shot() {  # name
  sleep 0.5
  import -window root -crop 720x480+0+0 +repage +dither -colors 256 "PNG8:$RESULTS/guide-$1.png" \
    2>/dev/null || fail "picture $1 could not be taken"
}

pages() {  # language suffix
  click_key main 9
  park_pointer
  guide_shot "main-$1"
  click_key main 10
  park_pointer
  guide_shot "advanced-$1"
  click_key main 11
  park_pointer
  guide_shot "colour-$1"
}

# Off-screen until the window is up: the pointer in the window's middle would
# hover whatever lies there.
xdotool mousemove 1200 780
start_shown || { rm -rf "$APP"; exit 1; }
pages en
click_key main 17
expect_value Init VER_SEL 0 "the Portuguese key"
pages pt
click_key main 18
expect_value Init VER_SEL 1 "the English key"

# The first level opens under the pointer, which hovers whichever row it
# lands on and, on the face below, a button label: the pointer rests on no
# element of the face, then on the "Mouse Functions" group row, whose second
# level shows beside it.
click_key main 9
if open_function_popups 25; then
  park_pointer
  read -r _ menu_height <<<"$(identify -format '%w %h' "$APP/skins/menu_mask.jpg")"
  eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --name '^MainMenuDlg$' | head -n1)")"
  group_y=$((Y + 6 * menu_height / 10 + menu_height / 20))
  xdotool mousemove $((X + 60)) "$group_y" sleep 0.3 mousemove $((X + 100)) "$group_y" sleep 1
  guide_shot functions-en
  park_pointer
  xdotool click 1
  wait_until 10 gone menu_shown || fail "a click on the main page left the popup open"
fi

# Four events: they fit the event list without scrolling.
click_key main 10
record_macro "Ctrl+S" keydown Control_L sleep 0.3 keydown s sleep 0.3 keyup s sleep 0.3 \
  keyup Control_L sleep 0.3
park_pointer
guide_shot macro-en
close_with_wm_close

timeout 30 wineserver -w 2>/dev/null
rm -rf "$APP"
[ "$failures" -eq 0 ] && echo "e2e guide: all pictures taken"
[ "$failures" -eq 0 ]
