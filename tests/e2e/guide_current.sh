#!/usr/bin/env bash
# Whether the user guide's pictures in docs/ still show the current program:
# each picture that guide.sh has just taken into the results folder is
# compared with its copy in docs/. One that differs from it in more than
# 0.01 % of its pixels (34 of the face's 345,600) by more than 15 % of the
# colour range is stale; a word taken off a key changes about 90.
#
# Run to run, guide.sh's pictures of one program are the same to the pixel,
# but for two things. The colour pages' LED preview tile animates: it is left
# out of the comparison; the 256-colour palette follows the tile's colour and
# so moves other pixels a little: at most 10 of them by more than 15 % (129 by
# more than 5 %) over twelve phases of the animation. The recorded macro's
# picture shows the pauses measured while it was recorded: it is not compared
# at all.
set -u
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS="${1:-$ROOT/build/results}"
LIMIT=$((720 * 480 / 10000))

# The preview tile (key 11 of the colour page's skin) as "left,top right,bottom".
tile=$(iconv -f UTF-16 -t UTF-8 "$ROOT/skins/INI_EN/skin_color_en.ini" | tr -d '\r' |
  awk -F'[=,]' '$1 == "11" {print $3 "," $4, $3 + $5 - 1 "," $4 + $6 - 1; exit}')

failures=0
for name in main-en main-pt advanced-en advanced-pt colour-en colour-pt functions-en; do
  taken="$RESULTS/guide-$name.png"
  if [ ! -f "$taken" ]; then
    echo "e2e FAIL: guide.sh took no $name picture into $RESULTS"
    failures=$((failures + 1))
    continue
  fi
  mask=()
  case $name in colour-*) mask=(-fill black -draw "rectangle $tile") ;; esac
  # A picture of another size, or none in docs/, gives no number.
  differing=$(convert "$taken" "$ROOT/docs/$name.png" "${mask[@]}" -fuzz 15% -metric AE -compare \
    -format '%[distortion]' info: 2>/dev/null)
  if ! awk -v d="$differing" -v limit="$LIMIT" 'BEGIN {exit !(d ~ /^[0-9.e+]+$/ && d + 0 <= limit)}'; then
    echo "e2e FAIL: docs/$name.png is not the current program's: run scripts/guide_pictures.sh" \
      "(${differing:-no comparison} of $((720 * 480)) pixels differ)"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "e2e guide: docs/ shows the current program"
[ "$failures" -eq 0 ]
