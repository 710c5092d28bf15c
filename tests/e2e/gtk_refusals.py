#!/usr/bin/env python3
"""What the Linux game is handed on its command line: an option it does not
take is refused with the usage and status 2 before any window opens, and a
code of odd bytes is told without GTK complaining of invalid UTF-8.

usage: gtk_refusals.py --game PATH --data DIR

Exit codes: 0 passed, 1 failed (a missing Xvfb or xdotool too).
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
from gtk_e2e import check, log  # noqa: E402

USAGE = "usage: tarno [FILE | --new GRADE [--seed N] | --daily [YYYY-MM-DD] | --code CODE]"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--game", required=True)
    parser.add_argument("--data", required=True)
    args = parser.parse_args()
    args.game = os.path.abspath(args.game)
    for tool in ("Xvfb", "xdotool", "import", "xwininfo"):
        if not shutil.which(tool):
            log("FAIL %s is not installed (make deps-test installs it)" % tool)
            return 1

    # No display is needed to be refused.
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    for words in (["--bogus"], ["-h"], ["--new", "easy", "--seed"], ["a.dat", "b.dat"]):
        result = subprocess.run([args.game] + words, env=env, capture_output=True, timeout=20, cwd=args.data)
        check(result.returncode == 2 and result.stderr.decode().strip() == USAGE and not result.stdout,
              "tarno %s is refused with status 2 and the usage (%s, %r)"
              % (" ".join(words), result.returncode, result.stderr.decode()[:200]))
    result = subprocess.run([args.game, "--help"], env=env, capture_output=True, timeout=20, cwd=args.data)
    check(result.returncode == 0 and result.stdout.decode().strip() == USAGE, "tarno --help prints the usage")

    tmp = tempfile.mkdtemp(prefix="tarno-refusals-")
    os.chmod(tmp, 0o755)
    with open(os.path.join(tmp, "alsoft.conf"), "w") as f:
        f.write("[general]\ndrivers = null\n")
    s = gtk_e2e.Session(args, tmp)

    def session():
        s.start_display()
        for code in (b"\xc3\xa9", b"\xc3", b"A\x1b[31m\nB"):
            with open(os.path.join(tmp, "game-output.txt"), "wb") as out:
                s.game = subprocess.Popen([args.game, "--code", code], cwd=args.data, env=s.env, stdout=out,
                                          stderr=subprocess.STDOUT)
                # The message box comes up over the window; then it is closed by force.
                s.xdotool("search", "--sync", "--onlyvisible", "--name", "^Tarno$", timeout=30)
                time.sleep(1.5)
                s.game.kill()
                s.game.wait()
            said = open(os.path.join(tmp, "game-output.txt"), "rb").read().decode(errors="replace")
            check("Invalid UTF-8" not in said and "\x1b" not in said,
                  "tarno --code %r: nothing raw reaches GTK or the terminal (%r)" % (code, said[:300]))

    return gtk_e2e.run_session(session, s.stop, tmp)


if __name__ == "__main__":
    sys.exit(main())
