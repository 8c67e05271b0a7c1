#!/usr/bin/env bash
# Takes the user guide's pictures anew from the current program and puts them
# into docs/ (docs/main-en.png, ..., docs/macro-en.png), where README.md shows
# them: builds the program, starts it under Wine in a Wine prefix of its own
# (on a virtual display when there is none) and runs tests/e2e/guide.sh.
# docs/ changes only when every picture was taken.
set -u
. "$(dirname "$0")/common.sh"
cd "$ROOT"
ensure_packages
build_windows >/dev/null || { echo "the Windows build failed"; exit 1; }
ensure_display || exit 1
export WINEPREFIX
WINEPREFIX="$(mktemp -d /tmp/nuv-guide-wine-XXXXXX)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
results="$(mktemp -d /tmp/nuv-guide-XXXXXX)"
finish() {
  wineserver -k 2>/dev/null
  rm -rf "$WINEPREFIX" "$results"
  stop_display
}
trap finish EXIT
prepare_wine_prefix
"$ROOT/tests/e2e/guide.sh" "$results" || { echo "docs/ left as it was"; exit 1; }
mkdir -p "$ROOT/docs"
for picture in "$results"/guide-*.png; do
  cp "$picture" "$ROOT/docs/${picture##*/guide-}"
done
echo "pictures in docs/: $(cd "$ROOT/docs" && echo *.png)"
