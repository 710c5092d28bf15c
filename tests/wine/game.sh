# The game step of wine-tests.sh, which sources this file with the X server
# and the Wine server running: tarno.exe played from a fresh copy of its run
# folder, with no saved level in the registry, by wine_game.py.
command -v python3 >/dev/null || fail "python3 is not installed (make deps-test installs it)"
for tool in tarno-demo tarno-solve; do
  [ -x "$native/tools/$tool" ] || fail "$tool has not been built"
done
level="$src/data/levels/level1.txt"
[ -f "$level" ] || fail "the shipped level 1 ($level) is missing"

game="$work/game"
rm -rf "$game" && mkdir -p "$game/run" || fail "no work folder"
cp "$cross/run/tarno.exe" "$cross/run"/level*.dat "$cross/run/levels.idx" "$cross/run"/*.bmp "$cross/run"/*.wav \
  "$game/run/" ||
  fail "the Windows run folder is incomplete"
wine reg delete 'HKCU\Software\Tarno' /f >/dev/null 2>&1

# What the game plays goes through ALSA's file plugin into a WAV file; the
# game's own home holds that setting, so the other steps keep theirs.
mkdir -p "$game/home"
printf 'pcm.!default { type file slave.pcm "null" file "%s" format "wav" }\nctl.!default { type hw card 0 }\n' \
  "$game/sound.wav" > "$game/home/.asoundrc"

HOME="$game/home" python3 "$here/wine_game.py" --run-dir "$game/run" --data-dir "$native/run" \
  --demo "$native/tools/tarno-demo" --solve "$native/tools/tarno-solve" --level "$level" --work "$game" \
  --sound "$game/sound.wav"
status=$?
# The recording grows by megabytes a minute: keep it only for a failure.
[ "$status" -eq 0 ] && rm -f "$game/sound.wav"
exit "$status"
