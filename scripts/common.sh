# Shared by the build, run and test scripts: packages, build folders, Wine.
# shellcheck shell=bash

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-2}"

NUV_PACKAGES=(
  cmake make g++ googletest libgtest-dev libgmock-dev libjpeg-dev
  clang clang-format libclang-rt-14-dev git
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  nsis wine wine64 xvfb xauth x11-utils fonts-liberation fonts-dejavu-core imagemagick xdotool python3 python3-pil fontconfig
  osslsigncode openssl
)

ensure_packages() {
  local missing=()
  for p in "${NUV_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# The programs of ours that dist/ ships, each as built under build/win (its
# stripped copy in dist/ has the same name). scripts/test.sh runs
# scripts/check_binary.sh on each: imports, image flags, no symbols, and
# canaries and checked copies in every part of the build that it links.
NUV_SHIPPED_EXES=(NUV_Talv.exe NUV_Talv_FileDialog.exe)

# Windows build: NUV_Talv.exe, the Windows test program, and dist/.
build_windows() {
  cmake -S "$ROOT" -B "$ROOT/build/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$ROOT/dist" >/dev/null &&
    cmake --build "$ROOT/build/win" -j"$JOBS" &&
    cmake --install "$ROOT/build/win" >/dev/null
}

# Lets the prefix draw the interface fonts with metric-compatible free faces
# (Wine has no Arial or Verdana of its own): Arial as Liberation Sans, Verdana
# as DejaVu Sans. Without them Wine picks by pitch and size, and Arial, asked
# as fixed pitch, comes out in a typewriter face at 150 % and 200 %. A
# replacement whose face is not installed does nothing, so a missing face
# stops the run here rather than drawing the wrong one. Safe to repeat on a
# prefix made earlier.
map_wine_fonts() {
  local face
  for face in "Liberation Sans" "DejaVu Sans"; do
    fc-list "$face" family | grep -q . || {
      echo "the font '$face' is not installed (Debian packages fonts-liberation, fonts-dejavu-core)" >&2
      return 1
    }
  done
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d "Liberation Sans" /f >/dev/null 2>&1 &&
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Verdana /d "DejaVu Sans" /f >/dev/null 2>&1
}

# Makes the Wine prefix, with the interface fonts mapped (map_wine_fonts).
prepare_wine_prefix() {
  wineboot -i >/dev/null 2>&1
  map_wine_fonts || return 1
  # No window manager runs on the test display: a popup that Wine hands to
  # one waits two seconds for it each time it is destroyed, which the test
  # program does hundreds of times. The program itself stays managed (the
  # file dialogs get the keyboard and the tray its clicks only so).
  wine reg add 'HKCU\Software\Wine\AppDefaults\nuv_tests.exe\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1
  wineserver -w
}

# A display for Wine: the user's, or a virtual one started here.
XVFB_PID=""
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 91 120); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  done
  echo "no display could be started" >&2
  return 1
}

stop_display() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  XVFB_PID=""
}

# For the programs of bench/ that measure the real exe from outside: the
# packages, a fresh Windows build, a display and the prefix build/<name>.
prepare_outside_bench() {  # prefix name
  ensure_packages
  build_windows >/dev/null || return 1
  ensure_display || return 1
  export WINEPREFIX="$ROOT/build/$1"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -d "$WINEPREFIX" ]; then map_wine_fonts && wineserver -w; else prepare_wine_prefix; fi
}
