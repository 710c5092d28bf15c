#!/bin/sh
# make install's layout under DESTDIR, the launcher starting the game in the
# player's own folder from wherever it is called, and make uninstall's
# removal of it all.
# usage: gtk_install_test.sh BUILD_DIR CMAKE SOURCE_DIR
set -u
build=$1
cmake=$2
src=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL $*"; exit 1; }

DESTDIR="$tmp/stage" "$cmake" --install "$build" --prefix /opt/tarno >"$tmp/install.log" 2>&1 ||
  { cat "$tmp/install.log"; fail "cmake --install"; }
root="$tmp/stage/opt/tarno"
for f in bin/tarno bin/tarno-levelc libexec/tarno/tarno share/tarno/pieces.bmp share/tarno/level1.dat \
         share/applications/tarno.desktop share/metainfo/tarno.metainfo.xml share/man/man6/tarno.6.gz \
         share/icons/hicolor/256x256/apps/tarno.png share/icons/hicolor/16x16/apps/tarno.png; do
  [ -e "$root/$f" ] || fail "$f is not installed"
done
[ -x "$root/bin/tarno" ] || fail "the launcher is not executable"
[ -e "$root/share/tarno/tarno" ] && fail "the binary went into the data folder"
grep -q '^Exec=tarno$' "$root/share/applications/tarno.desktop" || fail "the desktop file does not start tarno"

# Called through a link in another folder, without a display: the real
# binary must be found and say it has no display, in a folder of the
# player's own that links the shared data.
mkdir -p "$tmp/elsewhere" "$tmp/home"
ln -s "$root/bin/tarno" "$tmp/elsewhere/tarno"
out=$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY HOME="$tmp/home" XDG_DATA_HOME="$tmp/data" \
      "$tmp/elsewhere/tarno" 2>&1)
[ $? -eq 1 ] || fail "the launcher's game did not stop for want of a display: $out"
echo "$out" | grep -q "cannot open the display" || fail "unexpected output: $out"
[ -L "$tmp/data/tarno/pieces.bmp" ] || fail "no link to the data in the player's folder"
cmp -s "$tmp/data/tarno/level1.dat" "$root/share/tarno/level1.dat" || fail "the linked level differs"
# The player's edited level stays theirs on the next start.
echo mine >"$tmp/data/tarno/level.dat"
(cd / && env -u DISPLAY HOME="$tmp/home" XDG_DATA_HOME="$tmp/data" "$root/bin/tarno" >/dev/null 2>&1)
[ "$(cat "$tmp/data/tarno/level.dat")" = mine ] || fail "the launcher replaced the player's level.dat"
echo "ok   make install layout and launcher"

# make uninstall takes away every installed file, and the game's folders.
(cd "$tmp" && DESTDIR="$tmp/stage" "$cmake" -DMANIFEST="$build/install_manifest.txt" -P "$src/packaging/uninstall.cmake") \
  >"$tmp/uninstall.log" 2>&1 || { cat "$tmp/uninstall.log"; fail "uninstall"; }
left=$(find "$root" -mindepth 1 \( -type f -o -type l -o -type d -name tarno \))
[ -z "$left" ] || fail "left after uninstall: $left"
echo "ok   uninstall removes what install put in place"
