#!/usr/bin/env python3
"""Plays tarno.exe under Wine in Xvfb as a player would, with xdotool, and
checks what the screen shows and what the game stored in the registry.

usage: wine_game.py --run-dir DIR --data-dir DIR --demo PATH --solve PATH --level SOURCE --work DIR
                   --sound WAV

The game runs from --run-dir; the headless pictures it is compared with are
drawn by tarno-demo from the native build's data in --data-dir. --sound is
the WAV file that ALSA records what Wine plays into (game.sh sets that up).

Runs inside wine-tests.sh's game step (game.sh): DISPLAY, WINEPREFIX and a
running Wine server come from there. Exit codes: 0 passed, 1 failed.

The window's client area is the 672 by 672 field, shown 1:1, above the
status bar; the game prints each new status line ("status: ...") to its
output, which the test reads.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

# The Linux build's end-to-end session, pictures and tank; no byte code is
# left in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import gtk_e2e  # noqa: E402
from gtk_e2e import (CELL, FIELD, INNER, RING, TankFinder, check, compare, demo_run, drive_by_click,  # noqa: E402
                     fire_position, level_rows, read_bmp, run_session, wait_settled, wav_peak)


# The status bar's parts at its right end: the Next part after a win, then
# the four buttons, each this wide.
BAR_BUTTON, BAR_NEXT = 56, 112


def reg_query(name):
    """What `wine reg query` prints for the game's value, or "" without it."""
    result = subprocess.run(["wine", "reg", "query", "HKCU\\Software\\Tarno", "/v", name], capture_output=True,
                            timeout=60)
    return result.stdout.decode(errors="replace") if result.returncode == 0 else ""


def saved_level():
    """The Level value's bytes in hex, or None."""
    found = re.search(r"Level\s+REG_BINARY\s+([0-9A-Fa-f]+)", reg_query("Level"))
    return found.group(1) if found else None


def sound_size(path):
    return os.path.getsize(path) if os.path.exists(path) else 0


def find_field(shot, window, first):
    """The client area's corner: the insets of Wine's frame, caption and menu
    bar that show the first frame 1:1, tried on a sparse grid of points."""
    x, y, w, h = window
    probes = [(int((i + 0.5) * FIELD / 24), int((j + 0.5) * FIELD / 24)) for j in range(24) for i in range(24)]
    for top in range(20, 61):
        for left in range(0, 9):
            if all(shot.pixel(x + left + px, y + top + py) == first.pixel(px, py) for px, py in probes):
                return (x + left, y + top)
    return None


class Session(gtk_e2e.Session):
    """tarno.exe on the display wine-tests.sh started; the window shows the
    field 1:1 in its client area."""
    TIMEOUT, PAUSE = 30, 0.3

    def start(self, exe="tarno.exe", folder=None):
        self.output = open(os.path.join(self.tmp, "game-output.txt"), "ab")
        env = dict(os.environ, TARNO_PRINT_STATUS="1")
        self.game = subprocess.Popen(["wine", exe], cwd=folder or self.args.run_dir, stdin=subprocess.DEVNULL,
                                     stdout=self.output, stderr=subprocess.STDOUT, env=env)
        self.window = self.xdotool("search", "--sync", "--onlyvisible", "--name", "^Tarno$", timeout=120).split()[0]
        g = self.geometry()
        self.frame = (g["X"], g["Y"], g["WIDTH"], g["HEIGHT"])
        self.focus()

    def compare_banner(self, seen, won, plain, what):
        """As compare on the board inside the ring, but where the banner is
        (where the headless pictures with and without it differ) by the mean
        colour of 8 by 8 blocks: the banner's pieces are stretched by the
        blit, and Wine's DirectDraw rounds that stretch its own way, which
        moves their edges by a pixel or two."""
        changed = [(i // 3 % FIELD, i // 3 // FIELD) for i in range(0, len(won.rgb), 3)
                   if won.rgb[i:i + 3] != plain.rgb[i:i + 3]]
        if not check(bool(changed), "the headless game drew the banner after the win"):
            return
        x0, x1 = min(x for x, _ in changed) - 4, max(x for x, _ in changed) + 5
        y0, y1 = min(y for _, y in changed) - 4, max(y for _, y in changed) + 5
        exact_bad = sum(1 for y in range(CELL, FIELD - CELL) for x in range(CELL, FIELD - CELL)
                        if not (x0 <= x < x1 and y0 <= y < y1) and seen.pixel(x, y) != won.pixel(x, y))
        worst = 0.0
        for by in range(y0, y1 - 7, 8):
            for bx in range(x0, x1 - 7, 8):
                pairs = [(seen.pixel(x, y), won.pixel(x, y)) for y in range(by, by + 8) for x in range(bx, bx + 8)]
                worst = max(worst, max(abs(sum(u[c] - v[c] for u, v in pairs)) for c in range(3)) / 64.0)
        if exact_bad or worst > 64:
            seen.save_ppm(os.path.join(self.tmp, "won-seen.ppm"))
            won.save_ppm(os.path.join(self.tmp, "won-expected.ppm"))
        check(exact_bad == 0, "%s: the board around the banner (%d pixels differ)" % (what, exact_bad))
        check(worst <= 64, "%s: the banner (mean colours of 8 by 8 blocks differ by %.1f at most)" % (what, worst))


def main():
    parser = argparse.ArgumentParser()
    for name in ("--run-dir", "--data-dir", "--demo", "--solve", "--level", "--work", "--sound"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()

    os.makedirs(args.work, exist_ok=True)
    tmp = tempfile.mkdtemp(prefix="game-", dir=args.work)
    s = Session(args, tmp)
    return run_session(lambda: play(s, args, tmp), s.stop, tmp, errors=(IndexError, KeyError))


def headless(args, tmp, name, script):
    return demo_run(args.demo, args.data_dir, tmp, name, script)


def play(s, args, tmp):
    check(saved_level() is None, "no saved level in the registry before a win")
    s.start()
    x, y, w, h = s.frame
    check((x, y) == (100, 10) and w > FIELD and h > FIELD,
          "the window titled Tarno is at (100, 10), its frame around the field %s" % (s.frame,))

    # The first frame of level 1, as the headless game draws it.
    first, _ = headless(args, tmp, "first", "wait 1")
    time.sleep(0.5)
    wait_settled(s)
    shot = s.screen()
    corner = find_field(shot, s.frame, first)
    if not check(corner is not None, "the first frame of level 1 is in the window"):
        shot.save_ppm(os.path.join(tmp, "screen.ppm"))
        return
    s.origin = left, top = corner
    check(top - y > 30 and left > x and left + FIELD < x + w and top + FIELD < y + h,
          "the field fills the client area under the title and menu bars %s" % ((left - x, top - y),))
    index = open(os.path.join(args.run_dir, "levels.idx")).readline().split(None, 2)
    named = "Level 1: %s   Shots 0, par %s" % (index[2].strip(), index[1])
    check(s.status(named) == named, "the status bar names level 1 and its par (%r)" % s.status())
    check(s.said().get("tip", "").startswith("Arrow keys or a click on the border drive"),
          "a first-time player sees the tip in the status bar (%r)" % s.said().get("tip"))

    # The menu bar holds dark text (File, Edit, Help) on a light ground.
    bar = [shot.pixel(px, py) for py in range(top - 18, top - 2) for px in range(x + 4, x + 120)]
    dark = sum(1 for r, g, b in bar if r + g + b < 200)
    check(20 < dark < len(bar) // 2, "the menu bar shows its items (%d dark pixels)" % dark)

    finder = TankFinder(read_bmp(os.path.join(args.run_dir, "pieces.bmp")))
    check(finder.find(s.field()) == RING[0], "the tank starts on the top-left corner")

    # Held keys move the tank along the border: down the left column.
    s.hold("Down", 0.25)
    time.sleep(0.3)
    where = finder.find(wait_settled(s))
    check(where is not None and where[0] == 0 and where[1] >= 2, "held Down moved the tank down the left column "
          "(at %s)" % (where,))

    # File > Reset, from the keyboard, puts it back: the first frame again.
    before = s.field()
    s.tap("F10", "Down")
    time.sleep(0.3)
    check(s.field().rgb != before.rgb, "the File menu opens over the field")
    s.tap("Return")
    s.focus()
    compare(wait_settled(s), first, "File > Reset starts the level again", dump_dir=tmp)

    # File > Levels: only Level 1 can be chosen before a win; choosing it
    # starts it again.
    s.tap("F10", "Down", "Down", "Right")
    rows = level_rows(s)
    check(len(rows) == 12 and all(r > 110 for r in rows[1:]),
          "Levels 2-12 are greyed at the start %s" % rows)
    s.tap("Return")
    s.focus()
    compare(wait_settled(s), first, "choosing Level 1 starts level 1", dump_dir=tmp)

    # Win level 1 by the mouse, with the solver's shortest solution of the
    # shipped source: a click on a border cell drives the tank there, a
    # click on the tank fires.
    out = s.run(args.solve, args.level, timeout=120)
    moves = [line.strip() for line in out.splitlines() if line.split()[:1] in (["left"], ["right"], ["up"], ["down"])]
    check(bool(moves), "the solver found a solution for level 1 (%d shots)" % len(moves))
    quiet_from = sound_size(args.sound)
    for number, move in enumerate(moves):
        goal, _ = fire_position(move)
        if not drive_by_click(s, finder, goal, move):
            return
        before = wait_settled(s).crop(*INNER)
        heard_from = sound_size(args.sound)
        if number == 0:
            peak = wav_peak(args.sound, quiet_from)
            check(peak < 0.02, "the tank moved in silence (peak %.3f)" % peak)
        s.click_cell(goal)
        after = wait_settled(s).crop(*INNER)
        if number > 0:
            continue
        check(after.rgb != before.rgb, "a click on the tank fired: the board changed")
        time.sleep(0.5)
        peak = wav_peak(args.sound, heard_from)
        check(peak > 0.02, "the shot was heard: DirectSound played it (peak %.3f)" % peak)
        check("Shots 1," in s.status("Shots 1,"), "the shot is counted in the status bar (%r)" % s.status())
        check(s.said().get("tip") == "none" and "Shot" in reg_query("Shot"),
              "the tip goes with the first shot, for good (%r)" % s.said().get("tip"))
        # Edit > Undo from the keyboard takes the shot back; Ctrl+Shift+Z,
        # the menu's accelerator for Redo, fires it again (Z alone is no
        # key of the game, unlike Y, so only the accelerator can redo).
        s.tap("F10", "Right", "Down", "Return")
        s.focus()
        check("Shots 0," in s.status("Shots 0,"), "Edit > Undo takes the shot back (%r)" % s.status())
        check(wait_settled(s).crop(*INNER).rgb == before.rgb, "after Undo the board is as it was before the shot")
        s.tap("ctrl+shift+z")
        check("Shots 1," in s.status("Shots 1,"), "Ctrl+Shift+Z redoes the shot (%r)" % s.status())
        check(wait_settled(s).crop(*INNER).rgb == after.rgb, "after Redo the board is as it was after the shot")
        # The status bar's Undo button (the first of four at its right end) works as U does.
        s.xdotool("mousemove", "--sync", str(left + FIELD - 4 * BAR_BUTTON + BAR_BUTTON // 2), str(top + FIELD + 10), "click", "1")
        s.pointer = None
        check("Shots 0," in s.status("Shots 0,"), "the status bar's Undo button takes the shot back (%r)"
              % s.status())
        s.tap("ctrl+shift+z")
        check("Shots 1," in s.status("Shots 1,"), "Ctrl+Shift+Z redoes it again (%r)" % s.status())
    time.sleep(1.5)  # the banner comes a second after the win
    script = s.run(args.solve, "--demo", args.level, timeout=120)
    won, state = headless(args, tmp, "won", script + "\nwait 90")
    check(state.get("won") is True, "the solution wins level 1 in the headless game too")
    plain, _ = headless(args, tmp, "plain", script + "\nwait 1")
    s.compare_banner(wait_settled(s), won, plain, "the won level matches the headless picture")
    check("Won in par!   press R for the next level" in s.status("Won"),
          "the status bar says the level was won in par and what comes next (%r)" % s.status())
    level = saved_level()
    check(level == "02", "the registry's Level value is raised to 2 (%s)" % level)

    # After the win Undo is greyed and the way on is a part of the bar of its
    # own, left of the four buttons; Edit > Copy level code says what it copied.
    said = s.said()
    check(said.get("offered") == "Undo 0", "Undo is greyed after the win (%r)" % said.get("offered"))
    check(said.get("next") == "Next level", "the bar offers the next level after the win (%r)" % said.get("next"))
    s.tap("F10", "Right", "Down", "Down", "Down", "Down", "Return")
    s.focus()
    check("Level code copied: 1" in s.status("copied"), "Edit > Copy level code tells it (%r)" % s.status())
    check(s.said().get("status cut") == "0", "beside the Next part the bar holds all of it (cut: %s)"
          % s.said().get("status cut"))
    s.tap("F10", "Right", "Down", "Down", "Down", "Down", "Down", "Return")
    s.focus()
    check("Copied: tarno --code 1" in s.status("tarno"), "Edit > Share this level tells it (%r)" % s.status())
    shot = s.screen()
    s.xdotool("mousemove", "--sync", str(left + FIELD - 4 * BAR_BUTTON - BAR_NEXT // 2), str(top + FIELD + 10), "click", "1")
    s.pointer = None
    check(s.status("Level 2").startswith("Level 2: "), "the Next level part starts level 2 (%r)" % s.status())
    time.sleep(0.5)
    check(s.said().get("next") == "none", "and goes away (%r)" % s.said().get("next"))
    # Kept to be looked at: the status bar after the win, its words clear of the buttons.
    shot.crop(x, top + FIELD, w, min(y + h, shot.height) - top - FIELD).save_ppm(
        os.path.join(args.work, "status-bar-after-win.ppm"))

    # Level 2 can now be chosen from the menu, and starts level 2.
    second, _ = headless(args, tmp, "second", "level 2\nwait 1")
    s.tap("F10", "Down", "Down", "Right")
    rows = level_rows(s)
    check(len(rows) == 12 and rows[1] < 110 and all(r > 110 for r in rows[2:]),
          "Level 2 can be chosen after the win, 3-12 still greyed %s" % rows)
    s.tap("Down", "Return")
    s.focus()
    compare(wait_settled(s), second, "choosing Level 2 starts level 2", dump_dir=tmp)

    # How to play, under Help: its pictures, centred on the game, and the
    # field stays drawn around it.
    s.tap("F10", "Right", "Right", "Right", "Down", "Down", "Return")
    time.sleep(1.0)
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^How to play$"], capture_output=True,
                           timeout=30).stdout.split()
    if check(bool(found), "How to play opens its own dialog"):
        g = s.xdotool("getwindowgeometry", "--shell", found[0])
        dx, dy, dw, dh = (int(re.search(r"%s=(-?\d+)" % k, g).group(1)) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        check(abs((dx + dw / 2) - (x + w / 2)) <= 8 and abs((dy + dh / 2) - (y + h / 2)) <= 8,
              "How to play is centred on the game (%s against %s)" % ((dx, dy, dw, dh), s.frame))
        shot = s.screen()
        shot.crop(dx, dy, dw, dh).save_ppm(os.path.join(args.work, "how-to-play.ppm"))
        coloured = sum(1 for py in range(dy, dy + dh) for px in range(dx, dx + 60)
                       if max(shot.pixel(px, py)) - min(shot.pixel(px, py)) > 60)
        check(coloured > 500, "How to play shows the pieces' pictures (%d coloured pixels)" % coloured)
        strip = [shot.pixel(px, py) for py in range(top, min(dy, top + 40)) for px in range(left, left + FIELD, 7)]
        check(bool(strip) and sum(1 for p in strip if sum(p) < 30) < len(strip) // 4,
              "the field above the dialog is still drawn, not black (%d of %d pixels black)"
              % (sum(1 for p in strip if sum(p) < 30), len(strip)))
        s.tap("Return")
        time.sleep(0.5)
    s.focus()

    # The About dialog, under Help after File, Edit and View: a second window
    # titled Tarno, closed by its OK.
    s.tap("F10", "Right", "Right", "Right", "Down", "Return")
    time.sleep(0.8)
    check(len(s.visible_titled()) == 2, "About opens a second window titled Tarno")
    s.tap("Return")
    time.sleep(0.5)
    check(len(s.visible_titled()) == 1, "OK closes the About dialog")

    # View > Records, the third menu: a box titled Records, closed by its OK.
    s.tap("F10", "Right", "Right", "Down", "Return")
    time.sleep(0.8)
    check(len(s.visible_named("^Records$")) == 1, "View > Records shows the records")
    s.tap("Return")
    time.sleep(0.5)
    check(not s.visible_named("^Records$"), "OK closes the records")
    s.focus()

    # File > Levels > New level > Easy: up from Level 1 past the code and
    # the daily level; the game makes an easy level and plays it.
    s.tap("F10", "Down", "Down", "Right", "Up", "Up", "Up", "Right", "Return")
    s.focus()
    check(re.search(r"[A-Z][a-z ]+, easy #\d+   Shots 0", s.status("easy #", timeout=60)) is not None,
          "Levels > New level > Easy plays a level made on the spot (%r)" % s.status())

    s.quit()
    check(saved_level() == "02", "the registry keeps Level 2 after the game ends")
    records = reg_query("Records")
    check("tarno records 1" in records and "level 1" in records,
          "the records are a value beside Level (%r)" % records.strip())

    # The next run starts where the registry says.
    s.start()
    time.sleep(0.5)
    compare(wait_settled(s), second, "a new run starts on the saved level 2", dump_dir=tmp)
    s.quit()


if __name__ == "__main__":
    sys.exit(main())
