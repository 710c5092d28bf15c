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

# The picture and tank helpers of the Linux build's end-to-end test; no byte
# code is left in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from gtk_e2e import (CELL, FIELD, RING, TankFinder, check, compare, darkest_rows, demo_run,  # noqa: E402
                     drive_tank, fire_position, log, read_bmp, read_ppm, run_session, wav_peak)


def run(*command, timeout=30):
    result = subprocess.run(list(command), capture_output=True, timeout=timeout)
    if result.returncode != 0:
        raise RuntimeError("%s failed: %s" % (command[0], result.stderr.decode(errors="replace").strip()))
    return result.stdout.decode(errors="replace")


def xdotool(*words, timeout=30):
    return run("xdotool", *words, timeout=timeout)


def screen():
    return read_ppm(subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], capture_output=True,
                                   timeout=30, check=True).stdout)


def titled_windows():
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tarno$"], capture_output=True,
                            timeout=30)
    return result.stdout.split()


def saved_level():
    """The registry value as `wine reg query` prints it, or None."""
    result = subprocess.run(["wine", "reg", "query", "HKCU\\Software\\Tarno", "/v", "Level"],
                            capture_output=True, timeout=60)
    found = re.search(r"Level\s+REG_BINARY\s+([0-9A-Fa-f]+)", result.stdout.decode(errors="replace"))
    return found.group(1) if result.returncode == 0 and found else None


def headless(args, tmp, name, script):
    return demo_run(args.demo, args.data_dir, tmp, name, script)


def sound_size(path):
    return os.path.getsize(path) if os.path.exists(path) else 0


def level_rows():
    """For the open Levels submenu: per item, how dark its text is. Wine's
    menus are nameless windows of tarno.exe; the submenu is the tallest."""
    menus = []
    for line in run("xwininfo", "-root", "-children").splitlines():
        words = line.split()
        if "(has no name)" not in line or '"tarno.exe"' not in line or len(words) < 2:
            continue
        size, _, pos = words[-2].partition("+")
        w, h = (int(v) for v in size.split("x"))
        x, y = (int(v) for v in pos.split("+")[:2])
        if w > 20 and h > 20:
            menus.append((h, x, y, w))
    if not menus:
        return []
    h, x, y, w = max(menus)
    return darkest_rows(screen(), x, y, w, h)


# ---- The field as the window shows it ------------------------------------------

class Presentation:
    """Where the window shows the field: its client area, 1:1."""

    def __init__(self, left, top):
        self.left, self.top, self.right, self.bottom = left, top, left + FIELD, top + FIELD

    def shown(self, shot):
        return shot.crop(self.left, self.top, FIELD, FIELD)


def find_presentation(shot, window, first):
    """The client area: the insets of Wine's frame, caption and menu bar that
    show the first frame 1:1, tried on a sparse grid of points."""
    x, y, w, h = window
    probes = [(int((i + 0.5) * FIELD / 24), int((j + 0.5) * FIELD / 24)) for j in range(24) for i in range(24)]
    for top in range(20, 61):
        for left in range(0, 9):
            if all(shot.pixel(x + left + px, y + top + py) == first.pixel(px, py) for px, py in probes):
                return Presentation(x + left, y + top)
    return None


# ---- The session ----------------------------------------------------------------

class Session:
    def __init__(self, args, tmp):
        self.args, self.tmp = args, tmp
        self.game = self.window = self.geometry = self.p = self.finder = None

    def start(self):
        self.output = open(os.path.join(self.tmp, "game-output.txt"), "ab")
        env = dict(os.environ, TARNO_PRINT_STATUS="1")
        self.game = subprocess.Popen(["wine", "tarno.exe"], cwd=self.args.run_dir, stdin=subprocess.DEVNULL,
                                     stdout=self.output, stderr=subprocess.STDOUT, env=env)
        ids = xdotool("search", "--sync", "--onlyvisible", "--name", "^Tarno$", timeout=120).split()
        self.window = ids[0]
        geometry = {}
        for line in xdotool("getwindowgeometry", "--shell", self.window).splitlines():
            key, _, value = line.partition("=")
            geometry[key] = int(value) if value.lstrip("-").isdigit() else value
        self.geometry = (geometry["X"], geometry["Y"], geometry["WIDTH"], geometry["HEIGHT"])
        self.focus()

    def focus(self):
        xdotool("windowfocus", "--sync", self.window)
        time.sleep(0.2)

    def status(self, wanted=None, timeout=10):
        """The last status line the game printed; with wanted, waits (up to
        timeout) for one that holds it."""
        deadline = time.time() + timeout
        while True:
            with open(os.path.join(self.tmp, "game-output.txt"), "rb") as f:
                lines = [line[len("status: "):] for line in f.read().decode(errors="replace").splitlines()
                         if line.startswith("status: ")]
            last = lines[-1] if lines else ""
            if wanted is None or wanted in last or time.time() > deadline:
                return last
            time.sleep(0.2)

    def field_shot(self):
        return self.p.shown(screen())

    def settled(self, timeout=20):
        """Until nothing on the field moves: two pictures 0.2 s apart agree."""
        last = screen()
        deadline = time.time() + timeout
        while time.time() < deadline:
            time.sleep(0.2)
            now = screen()
            if (self.p.shown(now).rgb == self.p.shown(last).rgb) if self.p else now.rgb == last.rgb:
                return now
            last = now
        return last

    def tank(self, shot, expected=None):
        return self.finder.find(self.p.shown(shot), expected)

    def click_cell(self, cell):
        """A left click on the middle of a board cell (the field is shown 1:1)."""
        x, y = self.p.left + cell[0] * CELL + CELL // 2, self.p.top + cell[1] * CELL + CELL // 2
        # --sync waits for a move, and there is none to the pointer's own place.
        move = ["mousemove", "--sync", str(x), str(y)] if (x, y) != getattr(self, "pointer", None) else []
        self.pointer = (x, y)
        xdotool(*move, "click", "1")

    def hold(self, key, seconds):
        # One xdotool run, so the hold lasts what it says.
        xdotool("keydown", key, "sleep", "%.3f" % seconds, "keyup", key)

    def tap(self, *keys):
        for key in keys:
            xdotool("key", key)
            time.sleep(0.3)

    def compare(self, shot, reference, what):
        """The window's field against a headless picture."""
        return compare(self.p.shown(shot), reference, what, dump_dir=self.tmp)

    def compare_banner(self, shot, won, plain, what):
        """As compare on the board inside the ring, but where the banner is
        (where the headless pictures with and without it differ) by the mean
        colour of 8 by 8 blocks: the banner's pieces are stretched by the
        blit, and Wine's DirectDraw rounds that stretch its own way, which
        moves their edges by a pixel or two."""
        changed = [(i // 3 % FIELD, i // 3 // FIELD) for i in range(0, len(won.rgb), 3)
                   if won.rgb[i:i + 3] != plain.rgb[i:i + 3]]
        if not check(bool(changed), "the headless game drew the banner after the win"):
            return
        fx0, fx1 = min(x for x, _ in changed) - 4, max(x for x, _ in changed) + 5
        fy0, fy1 = min(y for _, y in changed) - 4, max(y for _, y in changed) + 5
        seen, expected = self.p.shown(shot), won
        x0 = y0 = CELL
        x1 = y1 = FIELD - CELL
        bx0, bx1, by0, by1 = fx0, fx1, fy0, fy1
        exact_bad = sum(1 for y in range(y0, y1) for x in range(x0, x1)
                        if not (bx0 <= x < bx1 and by0 <= y < by1) and seen.pixel(x, y) != expected.pixel(x, y))
        worst = 0.0
        for by in range(by0, by1 - 7, 8):
            for bx in range(bx0, bx1 - 7, 8):
                a, b = [0, 0, 0], [0, 0, 0]
                for y in range(by, by + 8):
                    for x in range(bx, bx + 8):
                        for c, (u, v) in enumerate(zip(seen.pixel(x, y), expected.pixel(x, y))):
                            a[c] += u
                            b[c] += v
                worst = max(worst, max(abs(u - v) for u, v in zip(a, b)) / 64.0)
        if exact_bad or worst > 64:
            seen.save_ppm(os.path.join(self.tmp, "won-seen.ppm"))
            expected.save_ppm(os.path.join(self.tmp, "won-expected.ppm"))
        check(exact_bad == 0, "%s: the board around the banner (%d pixels differ)" % (what, exact_bad))
        check(worst <= 64, "%s: the banner (mean colours of 8 by 8 blocks differ by %.1f at most)" % (what, worst))

    def stop(self):
        if self.game and self.game.poll() is None:
            self.game.kill()
            self.game.wait()


def main():
    parser = argparse.ArgumentParser()
    for name in ("--run-dir", "--data-dir", "--demo", "--solve", "--level", "--work", "--sound"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()

    os.makedirs(args.work, exist_ok=True)
    tmp = tempfile.mkdtemp(prefix="game-", dir=args.work)
    s = Session(args, tmp)
    return run_session(lambda: play(s, args, tmp), s.stop, tmp, errors=(IndexError, KeyError))


def play(s, args, tmp):
    check(saved_level() is None, "no saved level in the registry before a win")
    s.start()
    check(s.geometry[:2] == (100, 10) and s.geometry[2] > FIELD and s.geometry[3] > FIELD,
          "the window titled Tarno is at (100, 10), its frame around the field %s" % (s.geometry,))

    # The first frame of level 1, as the headless game draws it.
    first, _ = headless(args, tmp, "first", "wait 1")
    time.sleep(0.5)
    shot = s.settled()
    s.p = find_presentation(shot, s.geometry, first)
    if not check(s.p is not None, "the first frame of level 1 is in the window"):
        shot.save_ppm(os.path.join(tmp, "screen.ppm"))
        return
    x, y, w, h = s.geometry
    check(s.p.top - y > 30 and s.p.left > x and s.p.right < x + w and s.p.bottom < y + h,
          "the field fills the client area under the title and menu bars %s"
          % ((s.p.left - x, s.p.top - y, s.p.right - x, s.p.bottom - y),))
    check((s.p.right - s.p.left, s.p.bottom - s.p.top) == (FIELD, FIELD),
          "the client area is 672 by 672 (%d by %d)" % (s.p.right - s.p.left, s.p.bottom - s.p.top))
    s.compare(shot, first, "first frame of level 1 matches the headless picture")
    index = open(os.path.join(args.run_dir, "levels.idx")).readline().split(None, 2)
    named = "Level 1: %s   Shots 0, par %s" % (index[2].strip(), index[1])
    check(s.status(named) == named, "the status bar names level 1 and its par (%r)" % s.status())

    # The menu bar holds dark text (File, Edit, Help) on a light ground.
    bar = [shot.pixel(px, py) for py in range(s.p.top - 18, s.p.top - 2) for px in range(x + 4, x + 120)]
    dark = sum(1 for r, g, b in bar if r + g + b < 200)
    check(20 < dark < len(bar) // 2, "the menu bar shows its items (%d dark pixels)" % dark)

    s.finder = TankFinder(read_bmp(os.path.join(args.run_dir, "pieces.bmp")))
    check(s.tank(shot) == RING[0], "the tank starts on the top-left corner")

    # Held keys move the tank along the border: down the left column.
    s.hold("Down", 0.25)
    time.sleep(0.3)
    where = s.tank(s.settled())
    check(where is not None and where[0] == 0 and where[1] >= 2, "held Down moved the tank down the left column "
          "(at %s)" % (where,))

    # File > Reset, from the keyboard, puts it back: the first frame again.
    before = s.field_shot()
    s.tap("F10", "Down")
    time.sleep(0.3)
    check(s.field_shot().rgb != before.rgb, "the File menu opens over the field")
    s.tap("Return")
    s.focus()
    s.compare(s.settled(), first, "File > Reset starts the level again")

    # File > Levels: only Level 1 can be chosen before a win; choosing it
    # starts it again.
    s.tap("F10", "Down", "Down", "Right")
    rows = level_rows()
    check(len(rows) == 12 and all(r > 110 for r in rows[1:]),
          "Levels 2-12 are greyed at the start %s" % rows)
    s.tap("Return")
    s.focus()
    s.compare(s.settled(), first, "choosing Level 1 starts level 1")

    # Win level 1 with the solver's shortest solution of the shipped source.
    out = run(args.solve, args.level, timeout=120)
    moves = [line.strip() for line in out.splitlines() if line.split()[:1] in (["left"], ["right"], ["up"], ["down"])]
    check(bool(moves), "the solver found a solution for level 1 (%d shots)" % len(moves))
    quiet_from = sound_size(args.sound)
    for number, move in enumerate(moves):
        goal, key = fire_position(move)
        if number == 0:
            # The first shot by the mouse alone: a click on the border cell
            # drives the tank there, a click on the tank fires.
            s.click_cell(goal)
            time.sleep(2.0)
            reached = s.tank(s.settled(), goal)
        else:
            reached = drive_tank(lambda expected: s.tank(s.settled(), expected), s.hold, goal)
        if not check(reached == goal, "the tank reached %s for '%s' (at %s)" % (goal, move, reached)):
            return
        x0 = y0 = CELL
        x1 = y1 = FIELD - CELL
        before = s.p.shown(s.settled()).crop(x0, y0, x1 - x0, y1 - y0)
        heard_from = sound_size(args.sound)
        if number == 0:
            peak = wav_peak(args.sound, quiet_from)
            check(peak < 0.02, "the tank moved in silence (peak %.3f)" % peak)
        if number == 0:
            s.click_cell(goal)
        else:
            s.hold(key, 0.1)
        after = s.p.shown(s.settled()).crop(x0, y0, x1 - x0, y1 - y0)
        if number == 0:
            check(after.rgb != before.rgb, "a click on the tank fired: the board changed")
            time.sleep(0.5)
            peak = wav_peak(args.sound, heard_from)
            check(peak > 0.02, "the shot was heard: DirectSound played it (peak %.3f)" % peak)
            check("Shots 1," in s.status("Shots 1,"), "the shot is counted in the status bar (%r)" % s.status())
            # Edit > Undo from the keyboard takes the shot back; Ctrl+Shift+Z,
            # the menu's accelerator for Redo, fires it again (Z alone is no
            # key of the game, unlike Y, so only the accelerator can redo).
            s.tap("F10", "Right", "Down", "Return")
            s.focus()
            check("Shots 0," in s.status("Shots 0,"), "Edit > Undo takes the shot back (%r)" % s.status())
            undone = s.p.shown(s.settled()).crop(x0, y0, x1 - x0, y1 - y0)
            check(undone.rgb == before.rgb, "after Undo the board is as it was before the shot")
            s.tap("ctrl+shift+z")
            check("Shots 1," in s.status("Shots 1,"), "Ctrl+Shift+Z redoes the shot (%r)" % s.status())
            redone = s.p.shown(s.settled()).crop(x0, y0, x1 - x0, y1 - y0)
            check(redone.rgb == after.rgb, "after Redo the board is as it was after the shot")
            # The status bar's Undo button (the first of four at its right end) works as U does.
            xdotool("mousemove", "--sync", str(s.p.right - 4 * 64 + 32), str(s.p.bottom + 10), "click", "1")
            check("Shots 0," in s.status("Shots 0,"), "the status bar's Undo button takes the shot back (%r)"
                  % s.status())
            s.tap("ctrl+shift+z")
            check("Shots 1," in s.status("Shots 1,"), "Ctrl+Shift+Z redoes it again (%r)" % s.status())
    time.sleep(1.5)  # the banner comes a second after the win
    script = run(args.solve, "--demo", args.level, timeout=120)
    won, state = headless(args, tmp, "won", script + "\nwait 90")
    check(state.get("won") is True, "the solution wins level 1 in the headless game too")
    plain, _ = headless(args, tmp, "plain", script + "\nwait 1")
    s.compare_banner(s.settled(), won, plain, "the won level matches the headless picture")
    check("Won in par!   press R for the next level" in s.status("Won"),
          "the status bar says the level was won in par and what comes next (%r)" % s.status())
    level = saved_level()
    check(level == "02", "the registry's Level value is raised to 2 (%s)" % level)

    # Level 2 can now be chosen from the menu, and starts level 2.
    has_second = os.path.exists(os.path.join(args.run_dir, "level2.dat"))
    second = headless(args, tmp, "second", "level 2\nwait 1")[0] if has_second else None
    if has_second:
        s.tap("F10", "Down", "Down", "Right")
        rows = level_rows()
        check(len(rows) == 12 and rows[1] < 110 and all(r > 110 for r in rows[2:]),
              "Level 2 can be chosen after the win, 3-12 still greyed %s" % rows)
        s.tap("Down", "Return")
        s.focus()
        s.compare(s.settled(), second, "choosing Level 2 starts level 2")
    else:
        log("skip Level 2 was not chosen: there is no level2.dat")

    # The About dialog, under Help after File, Edit and View: a second window
    # titled Tarno, closed by its OK.
    s.tap("F10", "Right", "Right", "Right", "Down", "Return")
    time.sleep(0.8)
    check(len(titled_windows()) == 2, "About opens a second window titled Tarno")
    s.tap("Return")
    time.sleep(0.5)
    check(len(titled_windows()) == 1, "OK closes the About dialog")

    quit_with_escape(s)
    check(saved_level() == "02", "the registry keeps Level 2 after the game ends")
    result = subprocess.run(["wine", "reg", "query", "HKCU\\Software\\Tarno", "/v", "Records"],
                            capture_output=True, timeout=60)
    check(b"tarno records 1" in result.stdout and b"level 1" in result.stdout,
          "the records are a value beside Level (%r)" % result.stdout.decode(errors="replace").strip())

    # The next run starts where the registry says.
    if has_second:
        s.start()
        time.sleep(0.5)
        s.compare(s.settled(), second, "a new run starts on the saved level 2")
        quit_with_escape(s)


def quit_with_escape(s):
    """Esc ends the game with exit code 0. The game looks at the key once a
    frame, so it is held for many; a machine so busy that a frame outlasts
    the hold gets a second, longer one."""
    code = None
    for seconds in (0.3, 1.0):
        s.focus()
        s.hold("Escape", seconds)
        try:
            code = s.game.wait(timeout=15)
            break
        except subprocess.TimeoutExpired:
            log("note Esc held for %.1f s did not end the game yet" % seconds)
    check(code == 0, "Esc ends the game with exit code 0 (%s)" % code)
    check(not titled_windows(), "the window is gone")

if __name__ == "__main__":
    sys.exit(main())
