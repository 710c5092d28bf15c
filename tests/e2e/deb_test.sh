#!/bin/sh
# The Debian package of this build: its control data, its files, and the
# packaged game started from the unpacked tree by a user who owns none of it.
# usage: deb_test.sh BUILD_DIR E2E_SCRIPT DEMO SOLVE
set -u
build=$1
e2e=$2
demo=$3
solve=$4
command -v dpkg-shlibdeps >/dev/null || { echo "FAIL dpkg-shlibdeps (dpkg-dev) is not installed (make deps-test installs it)"; exit 1; }
tmp=$(mktemp -d)
chmod 755 "$tmp"  # the packaged game runs as another user
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL $*"; exit 1; }

(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out") >"$tmp/cpack.log" 2>&1 ||
  { tail -30 "$tmp/cpack.log"; fail "cpack"; }
deb=$(ls "$tmp"/out/tarno_*_amd64.deb 2>/dev/null)
[ -f "$deb" ] || fail "no tarno_<version>_amd64.deb was made"
echo "ok   $(basename "$deb"), $(stat -c %s "$deb") bytes"

depends=$(dpkg-deb -f "$deb" Depends)
echo "$depends" | grep -q libgtk-3 && echo "$depends" | grep -q libopenal ||
  fail "the dependencies lack GTK or OpenAL: $depends"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "not in section games"

dpkg-deb -x "$deb" "$tmp/root" || fail "dpkg-deb -x"
[ -e "$tmp/root/usr/games/tarno-levelc" ] || [ -e "$tmp/root/usr/bin/tarno-levelc" ] || fail "no tarno-levelc"
for f in usr/libexec/tarno/tarno usr/share/tarno/level12.dat \
         usr/share/applications/tarno.desktop usr/share/metainfo/tarno.metainfo.xml \
         usr/share/man/man6/tarno.6.gz usr/share/doc/tarno/copyright; do
  [ -e "$tmp/root/$f" ] || fail "the package lacks /$f"
done
for size in 16 24 32 48 64 128 256; do
  png="$tmp/root/usr/share/icons/hicolor/${size}x${size}/apps/tarno.png"
  [ "$(identify -format %wx%h "$png" 2>/dev/null)" = "${size}x${size}" ] || fail "no ${size} pixel icon"
done
echo "ok   the package holds the game, the data, the desktop files, the icons and the manual"

# The licence, as Debian and software centres read it.
grep -qx "License: Expat" "$tmp/root/usr/share/doc/tarno/copyright" &&
  grep -q "<project_license>MIT</project_license>" "$tmp/root/usr/share/metainfo/tarno.metainfo.xml" ||
  fail "the copyright file or the metainfo does not name the MIT licence"
command -v appstreamcli >/dev/null || fail "appstreamcli (appstream) is not installed (make deps-test installs it)"
appstreamcli validate --pedantic --no-net "$tmp/root/usr/share/metainfo/tarno.metainfo.xml" >"$tmp/validate.log" 2>&1 ||
  { cat "$tmp/validate.log"; fail "appstreamcli validate"; }
echo "ok   the package names its licence, and its metainfo (with the screenshot) is valid"

python3 "$e2e" --root "$tmp/root" --quick --demo "$demo" --solve "$solve"
