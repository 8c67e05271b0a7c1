#!/usr/bin/env bash
# What the resident program costs while nobody touches it, measured from
# outside: the user plus system CPU time of the program's process and of the
# prefix's wineserver over a window of SECONDS (default 30), after the program
# has settled. The same is measured for a bare window with a message loop in
# the same prefix; the program's own share is the difference.
#
#   bench/idle_cost.sh [SECONDS]
#
# Builds the Windows programs if needed, uses its own Wine prefix
# (build/idle-prefix) and a virtual display when there is none. Prints one
# line per case and the program's share beyond the bare window. A figure, not
# a test: it never fails on a slow machine. Run it on an otherwise idle one.
set -u
. "$(dirname "$0")/../scripts/common.sh"
cd "$ROOT"
SECONDS_MEASURED="${1:-30}"
SETTLE="${NUV_IDLE_SETTLE:-15}"
prepare_outside_bench idle-prefix || exit 1
TICKS=$(getconf CLK_TCK)

APP="$(mktemp -d /tmp/nuv-idle-XXXXXX)"
cp -r "$ROOT/dist/." "$APP/"
cp "$ROOT/build/win/bench/bare_window.exe" "$APP/"
trap 'wineserver -k 2>/dev/null; rm -rf "$APP"; stop_display' EXIT
# One wineserver and one set of the prefix's services for all cases, started
# and settled before the first, so that every case finds the same prefix.
wineserver -p
wine cmd /c exit >/dev/null 2>&1
sleep "$SETTLE"

cpu_ticks() {  # pid: utime + stime of the whole process, in clock ticks
  awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null || echo 0
}

# Starts a program (name, arguments) in the prefix, lets it settle, measures
# it and the wineserver, and ends it. Prints the two shares of a core in
# percent: "program wineserver".
measure() {
  local exe="$1"
  shift
  wine "$APP/$exe" "$@" >/dev/null 2>&1 &
  local launcher=$!
  sleep "$SETTLE"
  local pid server
  pid=$(pgrep -f "$exe" | head -n1)
  server=$(pgrep "^wineserver" | head -n1)
  if [ -z "$pid" ] || [ -z "$server" ]; then
    echo "failed failed"
    return
  fi
  local p0 s0 p1 s1
  p0=$(cpu_ticks "$pid")
  s0=$(cpu_ticks "$server")
  sleep "$SECONDS_MEASURED"
  p1=$(cpu_ticks "$pid")
  s1=$(cpu_ticks "$server")
  wine taskkill /F /IM "$exe" >/dev/null 2>&1
  wait "$launcher" 2>/dev/null
  awk -v p=$((p1 - p0)) -v s=$((s1 - s0)) -v t="$TICKS" -v n="$SECONDS_MEASURED" \
    'BEGIN { printf "%.2f %.2f\n", 100 * p / t / n, 100 * s / t / n }'
}

report() {  # label, "program wineserver", bare total
  local label="$1" figures="$2" bare="$3"
  awk -v l="$label" -v f="$figures" -v b="$bare" 'BEGIN {
    split(f, x, " ")
    if (x[1] == "failed") { printf "%-44s did not start\n", l; exit }
    total = x[1] + x[2]
    printf "%-44s %6.2f %% + wineserver %5.2f %% = %5.2f %% of a core", l, x[1], x[2], total
    if (b != "") printf "   (own share %+.2f %%)", total - b
    printf "\n"
  }'
}

echo "idle cost over ${SECONDS_MEASURED} s after ${SETTLE} s to settle (user + system CPU time)"
bare=$(measure bare_window.exe)
report "bare window with a message loop" "$bare" ""
bare_total=$(echo "$bare" | awk '{ print $1 + $2 }')
report "NUV_Talv -VIRTUALMOUSE, main page shown" "$(measure NUV_Talv.exe -VIRTUALMOUSE)" "$bare_total"
report "NUV_Talv -VIRTUALMOUSE -HIDE, in the tray" \
  "$(measure NUV_Talv.exe -VIRTUALMOUSE -HIDE)" "$bare_total"
# The system's HID services with no mouse attached: the program waits at its
# missing-mouse message, with its threads running.
report "NUV_Talv, system HID, no mouse (message)" "$(measure NUV_Talv.exe)" "$bare_total"
