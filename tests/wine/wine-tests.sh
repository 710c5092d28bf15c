#!/bin/sh
# The Windows build's tests under Wine, one step per call (CTest runs them
# as fixtures and tests):
#   wine-tests.sh STEP SOURCE NATIVE_BUILD CROSS_BUILD WORK
# STEP: build | prefix | unit | platform | game | setup | gen | stop
# TARNO_SOUND_LIST: the game's sound files, comma-separated (CTest sets it).
set -u
step=$1 src=$2 native=$3 cross=$4 work=$5
here=$(cd "$(dirname "$0")" && pwd)

export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64 LC_ALL=C
unset DISPLAY

skip() { echo "skipped: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

# An X server of our own at the size the game's display mode needs; its
# number comes back through -displayfd, never a fixed one.
XVFB_PID=
start_x() {
  rm -f "$work/display.$$"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display.$$" 2>"$work/xvfb.log" &
  XVFB_PID=$!
  i=0
  while [ ! -s "$work/display.$$" ]; do
    i=$((i + 1)); [ $i -gt 100 ] && fail "Xvfb did not start"
    sleep 0.1
  done
  DISPLAY=:$(tr -d '\n' < "$work/display.$$"); export DISPLAY
}

start_wine() {
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

finish() {
  wineserver -k 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -f "$work/display.$$"
}

# A private prefix in $work, made anew: no window manager (Wine places its
# own windows), the GDI renderer (far faster here), and a null ALSA device
# so that sound opens without hardware.
new_prefix() {
  rm -rf "$work"
  mkdir -p "$work/home"
  printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$work/home/.asoundrc"
  # Once in CI wineboot failed at once, silently, and never again here; a
  # second try in a prefix made anew tells a passing fault from a real one.
  tries=0
  until wineboot -i >"$work/wineboot.log" 2>&1; do
    rc=$? tries=$((tries + 1))
    echo "wineboot failed (exit $rc), try $tries; its output:"; cat "$work/wineboot.log"
    [ $tries -ge 3 ] && fail "wineboot"
    wineserver -k 2>/dev/null; sleep 2
    rm -rf "$WINEPREFIX"
  done
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
    wine reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d gdi /f >/dev/null 2>&1 ||
    fail "prefix settings"
  wineserver -w
}

case $step in
build)
  # The cross build, with the data of this native build.
  cmake -S "$src" -B "$cross" --toolchain "$src/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DTARNO_PLATFORM=win32 -DTARNO_WERROR=ON -DTARNO_HOST_RUN_DIR="$native/run" >"$work.build.log" 2>&1 ||
    { cat "$work.build.log"; fail "cross configure"; }
  # The installer where NSIS is at hand; the setup step skips without it.
  setup=
  command -v makensis >/dev/null && setup=tarno-setup
  cmake --build "$cross" -j2 --target tarno tarno-windows-zip $setup tarno_win32_tests tarno_unit_tests tarno-gen \
    >>"$work.build.log" 2>&1 || { tail -50 "$work.build.log"; fail "cross build"; }
  ls -l "$cross/run/tarno.exe" "$cross/tarno-windows.zip" ${setup:+"$cross/tarno-setup.exe"}
  # What a player unpacks, checked as the native build checks its stand-in.
  cmake -DZIP="$cross/tarno-windows.zip" -DSOUNDS="${TARNO_SOUND_LIST:?}" -P "$here/packaging_test.cmake" ||
    fail "tarno-windows.zip"
  ;;
prefix)
  new_prefix
  echo "prefix ready"
  ;;
unit)
  trap finish EXIT
  start_x; start_wine
  mkdir -p "$work/unit" && cd "$work/unit" || exit 1
  wine "$cross/tests/tarno_unit_tests.exe" </dev/null
  ;;
platform)
  trap finish EXIT
  start_x; start_wine
  mkdir -p "$work/platform" && cd "$work/platform" || exit 1
  wine "$cross/tests/wine/tarno_win32_tests.exe" </dev/null
  ;;
game)
  trap finish EXIT
  start_x; start_wine
  . "$here/game.sh"
  ;;
setup)
  # The installer in a fresh prefix of its own, beside the shared one: a new
  # player's machine.
  command -v python3 >/dev/null || fail "python3 is not installed (make deps-test installs it)"
  command -v makensis >/dev/null || fail "makensis is missing (make deps-windows installs it): no installer to test"
  [ -f "$cross/tarno-setup.exe" ] || fail "tarno-setup.exe has not been built"
  work="$work-setup"
  export WINEPREFIX="$work/prefix" HOME="$work/home"
  new_prefix
  trap finish EXIT
  start_x; start_wine
  python3 "$here/wine_setup.py" --setup "$cross/tarno-setup.exe" --zip "$cross/tarno-windows.zip"
  ;;
gen)
  # The generator gives the same levels here and on Windows: the same text,
  # but for the console's line ends.
  trap finish EXIT
  start_wine
  for grade in easy medium hard; do
    "$native/tools/tarno-gen" --grade $grade --seed 1 --count 10 >"$work/gen-$grade.native" ||
      fail "tarno-gen --grade $grade"
    wine "$cross/tools/tarno-gen.exe" --grade $grade --seed 1 --count 10 </dev/null | tr -d '\r' \
      >"$work/gen-$grade.wine" || fail "tarno-gen.exe --grade $grade"
    cmp "$work/gen-$grade.native" "$work/gen-$grade.wine" || fail "$grade levels differ under Wine"
    echo "$grade: the same 10 levels"
  done
  # And the daily levels of the week that gen.pinned pins, as the native
  # build makes them there.
  for date in 2026-12-07 2026-12-08 2026-12-09 2026-12-10 2026-12-11 2026-12-12 2026-12-13; do
    "$native/tools/tarno-gen" --daily $date >"$work/daily-$date.native" || fail "tarno-gen --daily $date"
    wine "$cross/tools/tarno-gen.exe" --daily $date </dev/null | tr -d '\r' >"$work/daily-$date.wine" ||
      fail "tarno-gen.exe --daily $date"
    cmp "$work/daily-$date.native" "$work/daily-$date.wine" || fail "the daily level of $date differs under Wine"
  done
  echo "the same daily levels for a week"
  ;;
stop)
  wineserver -k 2>/dev/null
  exit 0
  ;;
*)
  fail "unknown step $step"
  ;;
esac
