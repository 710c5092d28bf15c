#!/bin/sh
# Every item of the desktop game's menu bar, activated, and every button
# beside its status line, clicked, reaches the game: the game only counts
# them (TARNO_COMMAND_PROBE) and names what never came.
# usage: gtk_commands_test.sh GAME
set -u
game=$1
command -v Xvfb >/dev/null || { echo "Xvfb missing: skipped"; exit 77; }
tmp=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$tmp"' EXIT
i=0
while [ ! -s "$tmp/display" ]; do
  i=$((i + 1)); [ $i -gt 100 ] && { echo "FAIL Xvfb did not start"; exit 1; }
  sleep 0.1
done
said=$(cd "$tmp" && DISPLAY=:$(tr -d '\n' <"$tmp/display") HOME="$tmp" TARNO_COMMAND_PROBE=1 "$game" 2>&1)
echo "$said"
[ "$said" = "commands missed: none" ] || { echo "FAIL not every menu item and button reached the game"; exit 1; }
