#!/usr/bin/env bash
# Macro timing as other programs see it. NUV_Talv.exe runs with the virtual
# mouse and a macro on button 7 (A down, 50 ms, A up, 100 ms, B down, ...,
# with a left click in the middle); input_probe.exe (tests/win32/probes/), another process,
# notes every event through the system's low-level hooks. The virtual mouse
# stamps each press report it sends ("timestamps" in its control file) with
# the same clock.
#
#   bench/macro_timing.sh [PRESSES]        (default 40)
#
# Prints, for each interval of the macro, how far the probe saw it from its
# pause (mean, worst), and the time from the press report to the first event
# (p50, p99, max). A figure, not a test: run it on an otherwise idle machine.
# Uses its own Wine prefix (build/timing-prefix).
set -u
. "$(dirname "$0")/../scripts/common.sh"
cd "$ROOT"
PRESSES="${1:-40}"
prepare_outside_bench timing-prefix || exit 1

APP="$(mktemp -d /tmp/nuv-timing-XXXXXX)"
cp -r "$ROOT/dist/." "$APP/"
cp "$ROOT/build/win/bench/input_probe.exe" "$APP/"
trap 'wineserver -k 2>/dev/null; rm -rf "$APP"; stop_display' EXIT
CONTROL="$APP/virtual_mouse.ctl"
TRACE="$APP/virtual_mouse.trace"
PROBE_LOG="$APP/probe.log"

# The macro (first macro of the English working file) and button 7 of the
# first profile playing it.
python3 - "$ROOT" "$APP" <<'EOF'
import struct, sys
root, app = sys.argv[1], sys.argv[2]
sys.path.insert(0, root + "/tools")
import make_default_macros as m
A, B, C, LEFT = ord("A"), ord("B"), ord("C"), m.LEFT_BUTTON
events = [(A, m.DOWN), (A, m.UP), (B, m.DOWN), (B, m.UP), (LEFT, m.DOWN), (LEFT, m.UP),
          (C, m.DOWN), (C, m.UP)]
pauses = [50, 100, 50, 100, 50, 100, 50, 30]
data = bytearray(m.record("Timing", events))
for j, pause in enumerate(pauses, start=1):  # word j: the pause after event j-1
    struct.pack_into("<H", data, 552 + 2 * j, pause)
open(app + "/Macro_EN.dat", "wb").write(m.macro_file([bytes(data)]))
ini = open(app + "/config.ini", encoding="latin-1").read().replace("\r\n", "\n").split("\n")
section = None
for i, line in enumerate(ini):
    if line.startswith("["):
        section = line
    elif section == "[Config1]" and line.startswith("K7="):
        ini[i] = "K7=41"  # the first macro
    elif section == "[Init]" and line.startswith("CurConfig="):
        ini[i] = "CurConfig=1"
    elif section == "[Init]" and line.startswith("VER_SEL="):
        ini[i] = "VER_SEL=1"
open(app + "/config.ini", "w", encoding="latin-1", newline="\r\n").write("\n".join(ini))
EOF

win_path() { echo "Z:${1//\//\\}"; }
probe_seconds=$((PRESSES + 30))
wine "$APP/input_probe.exe" "$(win_path "$PROBE_LOG")" "$probe_seconds" >/dev/null 2>&1 &
probe=$!
for _ in $(seq 1 120); do grep -q ready "$PROBE_LOG" 2>/dev/null && break; sleep 0.25; done
grep -q ready "$PROBE_LOG" 2>/dev/null || { echo "the probe did not start"; exit 1; }

: >"$CONTROL"
wine "$APP/NUV_Talv.exe" -VIRTUALMOUSE -HIDE >/dev/null 2>&1 &
# Ready: the mouse has been told and has sent its ready report.
for _ in $(seq 1 120); do grep -q "^I 06" "$TRACE" 2>/dev/null && break; sleep 0.25; done
grep -q "^I 06" "$TRACE" 2>/dev/null || { echo "NUV_Talv did not apply"; exit 1; }
sleep 2
echo timestamps >>"$CONTROL"
# The release comes while the macro plays (hold mode 0: it changes nothing),
# half-way between two of its events: handling it costs the system a moment.
for _ in $(seq 1 "$PRESSES"); do
  echo "press 8" >>"$CONTROL"
  sleep 0.25
  echo release >>"$CONTROL"
  sleep 0.55
done
wait "$probe"
wine taskkill /IM NUV_Talv.exe >/dev/null 2>&1

python3 - "$TRACE" "$PROBE_LOG" "$PRESSES" <<'EOF'
import sys
trace, probe, presses = sys.argv[1], sys.argv[2], int(sys.argv[3])
expected = [("K", 65, "D"), ("K", 65, "U"), ("K", 66, "D"), ("K", 66, "U"), ("M", 1, "D"),
            ("M", 1, "U"), ("K", 67, "D"), ("K", 67, "U")]
pauses = [50, 100, 50, 100, 50, 100, 50]
press_times = [int(l.split("@")[1]) for l in open(trace) if l.startswith("I 05 F8") and "@" in l]
events = []
for line in open(probe):
    w = line.split()
    if len(w) == 8 and w[5] == "1":
        events.append((w[0], int(w[1]), w[2], int(w[3]), int(w[4])))

def pct(values, q):
    values = sorted(values)
    return values[min(len(values) - 1, int(q * len(values)))]

latencies, errors, event_errors, complete = [], [[] for _ in pauses], [[] for _ in pauses], 0
for i, t in enumerate(press_times):
    end = press_times[i + 1] if i + 1 < len(press_times) else float("inf")
    run = [e for e in events if t <= e[3] < end]
    if [(e[0], e[1], e[2]) for e in run[:len(expected)]] != expected:
        continue
    complete += 1
    latencies.append(((run[0][3] - t) / 1000, i))
    for k, pause in enumerate(pauses):
        errors[k].append(((run[k + 1][3] - run[k][3]) / 1000 - pause))
        event_errors[k].append(run[k + 1][4] - run[k][4] - pause)

print("macro timing seen by a low-level hook in another process (%d presses, %d played whole)"
      % (len(press_times), complete))
if not complete:
    sys.exit(0)
names = ["A down", "A up", "B down", "B up", "left down", "left up", "C down", "C up"]
print("  interval                     pause   mean error   worst error   (event time stamps, ms)")
for k, pause in enumerate(pauses):
    worst = max(errors[k], key=abs)
    ew = max(event_errors[k], key=abs)
    print("  %-10s -> %-12s %5d ms  %+8.3f ms   %+8.3f ms    %+d" % (
        names[k], names[k + 1], pause, sum(errors[k]) / len(errors[k]), worst, ew))
all_errors = [abs(e) for row in errors for e in row]
print("  every interval within %.3f ms of its pause (goal: 1 ms); p99 %.3f ms"
      % (max(all_errors), pct(all_errors, 0.99)))
worst_runs = sorted(latencies, reverse=True)[:3]
latencies = [l for l, _ in latencies]
print("  press report -> first event: p50 %.3f ms, p99 %.3f ms, max %.3f ms (goal: p99 <= 1 ms)"
      % (pct(latencies, 0.5), pct(latencies, 0.99), max(latencies)))
print("  slowest presses: " + ", ".join("#%d %.3f ms" % (i + 1, l) for l, i in worst_runs))
EOF
