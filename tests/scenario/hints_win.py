#!/usr/bin/env python3
"""Plays every shipped level by its hints alone: from the start, press H,
fire the shot it names, and again until the level is won, which must take
exactly the level's par. The demo player reads its script from a pipe, so
each hint is read from a dump before the next lines are written."""
import argparse
import contextlib
import json
import os
import shutil
import subprocess
import sys
import tempfile

CELL_FRAMES = 6  # a cell is 48 pixels at 8 a frame
LAST = 13        # the far side of the ring, in cells


def path_to(tank, entry):
    """Lines that fire from the entry: a tap on its border cell drives the
    tank there (at most half the ring), a tap on the tank fires."""
    way, n = entry.split()
    cx, cy = {"right": (0, int(n)), "left": (LAST, int(n)), "down": (int(n), 0), "up": (int(n), LAST)}[way]
    tap = f"tap {48 * cx + 24} {48 * cy + 24}"
    drive = [] if (tank["x"], tank["y"]) == (48 * cx, 48 * cy) else [tap, f"wait {CELL_FRAMES * (LAST + 1) * 2}"]
    return drive + [tap, "wait 8", "rest", "wait 1"]


def demo_session(demo, env=None):
    """The demo player on a pipe, and a function that sends lines and reads the dump after them."""
    proc = subprocess.Popen([demo, "/dev/stdin"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, env=env)

    def send(lines):
        proc.stdin.write("\n".join(lines) + "\ndump\n")
        proc.stdin.flush()
        return json.loads(proc.stdout.readline())

    return proc, send


def follow_hints(send, state):
    """Fires where each hint says until the level is won or no hint comes."""
    for _ in range(2 * (state["par"] or 0) + 2):
        if state["won"]:
            break
        state = send(["keys h", "wait 1", "keys", "wait 1"])
        if not state["hint"]:
            break
        state = send(path_to(state["tank"], state["hint"]["entry"]))
    return state


@contextlib.contextmanager
def demo_folder(prefix):
    """From --demo and --data: the demo player's path, run in a folder of its
    own that holds a copy of the levels, pictures, sounds and index."""
    ap = argparse.ArgumentParser()
    ap.add_argument("--demo", required=True)
    ap.add_argument("--data", required=True)
    args = ap.parse_args()
    demo = os.path.abspath(args.demo)
    work = tempfile.mkdtemp(prefix=prefix)
    try:
        for name in os.listdir(args.data):
            if name.endswith((".dat", ".bmp", ".wav", ".idx")):
                shutil.copy(os.path.join(args.data, name), work)
        os.chdir(work)
        yield demo
    finally:
        shutil.rmtree(work, ignore_errors=True)


def play(demo, level):
    proc, send = demo_session(demo)
    start = send([f"level {level}"])
    state = follow_hints(send, start)
    proc.stdin.close()
    proc.wait()
    return state, start["par"]


def main():
    failures = 0
    with demo_folder("tarno-hints-") as demo:
        for level in range(1, 13):
            state, par = play(demo, level)
            shots = state["shotsFired"]
            ok = state["won"] and shots == par
            failures += not ok
            print(f"level {level}: {'won' if state['won'] else 'not won'} in {shots} shots, par {par}")
    return 1 if failures else 0

if __name__ == "__main__":
    sys.exit(main())
