#!/usr/bin/env python3
"""Two copies of the Linux game for one player under Xvfb: each wins level 1,
the first in 4 shots, the second after it in 5. The records file keeps the
best of both, and the second copy shows no "New record!" for a win worse
than the first's.

usage: gtk_two_games.py --game PATH --data DIR --demo PATH --solve PATH

Exit codes: 0 passed, 1 failed (a missing Xvfb, xdotool or ImageMagick too).
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gtk_e2e  # noqa: E402
from gtk_e2e import NOBODY, TankFinder, check, drive_by_click, fire_position, log, read_bmp  # noqa: E402


class Copy(gtk_e2e.Session):
    """One copy of the game on a display and with a home another shares."""

    def start_copy(self, game, others, left):
        self.output = open(os.path.join(self.tmp, "game-output.txt"), "wb")
        player = ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups"] \
            if os.geteuid() == 0 else []
        self.game = subprocess.Popen(player + [game], cwd=os.path.dirname(game), env=self.env,
                                     stdout=self.output, stderr=subprocess.STDOUT)
        deadline = time.time() + 30
        while time.time() < deadline:
            ids = [i for i in self.visible_titled() if i.decode() not in others]
            if ids:
                break
            time.sleep(0.2)
        self.window = ids[0].decode()
        # Side by side: no window manager keeps them apart.
        self.xdotool("windowmove", "--sync", self.window, str(left), "0")
        self.focus()
        while "field" not in self.said() and time.time() < deadline:
            time.sleep(0.1)
        geometry = self.geometry()
        fx, fy = (int(v) for v in self.said().get("field", "0 0").split())
        self.origin = (geometry["X"] + fx, geometry["Y"] + fy)

    def quit(self):
        """Esc ends this copy; the other's window stays."""
        self.focus()
        self.hold("Escape", 0.3)
        try:
            code = self.game.wait(timeout=15)
        except subprocess.TimeoutExpired:
            code = None
        check(code == 0, "Esc ends the copy with exit code 0 (%s)" % code)
        check(self.window.encode() not in self.visible_titled(), "its window is gone")

    def stop(self):
        if self.game and self.game.poll() is None:
            self.game.kill()
            self.game.wait()


def win_level_1(s, finder, moves, wasted):
    """The solver's shots by the mouse, after a wasted one along the empty
    top row when asked."""
    s.focus()
    for move in (["right 1"] if wasted else []) + moves:
        goal, _ = fire_position(move)
        if not drive_by_click(s, finder, goal, move):
            return False
        s.click_cell(goal)
        gtk_e2e.wait_settled(s)
    return True


def main():
    parser = argparse.ArgumentParser()
    for name in ("--game", "--data", "--demo", "--solve"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "import", "xwininfo"):
        if not shutil.which(tool):
            log("FAIL %s is not installed (make deps-test installs it)" % tool)
            return 1

    tmp = tempfile.mkdtemp(prefix="tarno-two-")
    os.chmod(tmp, 0o755)
    play = os.path.join(tmp, "play")
    shutil.copytree(args.data, play)
    shutil.copy(args.game, os.path.join(play, "tarno"))
    for folder in (play,):
        os.chmod(folder, 0o755)
    with open(os.path.join(tmp, "alsoft.conf"), "w") as f:
        f.write("[general]\ndrivers = null\n")

    first, second = Copy(args, tmp), Copy(args, os.path.join(tmp, "second"))
    os.makedirs(second.tmp)
    os.chmod(second.tmp, 0o755)

    def session():
        first.start_display()
        second.env = first.env
        records = os.path.join(first.env["XDG_DATA_HOME"], "tarno", "records")
        os.makedirs(os.path.dirname(records))
        with open(records, "w") as f:
            f.write("tarno records 1\nlevel 1 9 over\n")
        if os.geteuid() == 0:
            for path in (os.path.dirname(records), records):
                os.chown(path, NOBODY, NOBODY)
        game = os.path.join(play, "tarno")
        first.start_copy(game, [], 0)
        second.start_copy(game, [first.window], 760)

        out = subprocess.run([args.solve, os.path.join(play, "level1.dat")], capture_output=True, timeout=120,
                             check=True).stdout.decode()
        moves = [line.strip() for line in out.splitlines()
                 if line.split()[:1] in (["left"], ["right"], ["up"], ["down"])]
        check(len(moves) == 4, "the solver wins level 1 in 4 shots (%s)" % moves)
        finder = TankFinder(read_bmp(os.path.join(play, "pieces.bmp")))

        if not win_level_1(first, finder, moves, False):
            return
        check("New record!" in first.status("New record!"), "the first copy beat 9: %r" % first.status())
        kept = open(records).read()
        check(kept == "tarno records 1\nlevel 1 4 par\n", "the first copy's win is stored (%r)" % kept)

        if not win_level_1(second, finder, moves, True):
            return
        status = second.status("Won")
        check("Shots 5" in status and "New record!" not in status and "Best 4" in status,
              "the second copy's 5 shots are no new record against the first's 4 (%r)" % status)
        kept = open(records).read()
        check(kept == "tarno records 1\nlevel 1 4 par\n", "the file still holds the first copy's 4 (%r)" % kept)
        for copy in (first, second):
            copy.quit()

    def stop():
        second.stop()
        first.stop()

    return gtk_e2e.run_session(session, stop, tmp)


if __name__ == "__main__":
    sys.exit(main())
