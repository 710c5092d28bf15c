# The game step of wine-tests.sh, which sources this file with the X server
# and the Wine server running: tarno.exe played from a fresh copy of its run
# folder, with no saved level in the registry, by wine_game.py.
command -v python3 >/dev/null || skip "python3 is not installed"
for tool in tarno-demo tarno-solve; do
  [ -x "$native/tools/$tool" ] || fail "$tool has not been built"
done
level="$src/data/levels/level1.txt"
[ -f "$level" ] || fail "the shipped level 1 ($level) is missing"

game="$work/game"
rm -rf "$game" && mkdir -p "$game/run" || fail "no work folder"
cp "$cross/run/tarno.exe" "$cross/run"/level*.dat "$cross/run"/*.bmp "$cross/run"/*.wav "$game/run/" ||
  fail "the Windows run folder is incomplete"
wine reg delete 'HKCU\Software\Tarno' /f >/dev/null 2>&1

python3 "$here/wine_game.py" --run-dir "$game/run" --data-dir "$native/run" --demo "$native/tools/tarno-demo" \
  --solve "$native/tools/tarno-solve" --level "$level" --work "$game"
