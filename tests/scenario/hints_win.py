#!/usr/bin/env python3
"""Plays every shipped level by its hints alone: from the start, press H,
fire the shot it names, and again until the level is won, which must take
exactly the level's par. The demo player reads its script from a pipe, so
each hint is read from a dump before the next lines are written."""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile

CELL_FRAMES = 6  # a cell is 48 pixels at 8 a frame
LAST = 13        # the far side of the ring, in cells


def path_to(tank, entry):
    """Lines that bring the tank from its place to the entry and fire."""
    x, y = tank["x"] // 48, tank["y"] // 48
    out = []
    # Back to the top-left corner along the ring, never pressing across it.
    if x == LAST and y:
        out += ["keys up", f"wait {CELL_FRAMES * y}"]
        y = 0
    if y == LAST and x:
        out += ["keys left", f"wait {CELL_FRAMES * x}"]
        x = 0
    if x == 0 and y:
        out += ["keys up", f"wait {CELL_FRAMES * y}"]
    if y == 0 and x:
        out += ["keys left", f"wait {CELL_FRAMES * x}"]
    way, n = entry.split()
    n = int(n)
    if way == "right":
        out += ["keys down", f"wait {CELL_FRAMES * n}", "keys right"]
    elif way == "down":
        out += ["keys right", f"wait {CELL_FRAMES * n}", "keys down"]
    elif way == "left":
        out += ["keys right", f"wait {CELL_FRAMES * LAST}", "keys down", f"wait {CELL_FRAMES * n}", "keys left"]
    else:
        out += ["keys down", f"wait {CELL_FRAMES * LAST}", "keys right", f"wait {CELL_FRAMES * n}", "keys up"]
    return out + ["wait 1", "keys", "wait 8", "rest", "wait 1"]


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


def copy_data(data, work):
    """The levels, pictures, sounds and index, where the demo player runs."""
    for name in os.listdir(data):
        if name.endswith((".dat", ".bmp", ".wav", ".idx")):
            shutil.copy(os.path.join(data, name), work)


def play(demo, level):
    proc, send = demo_session(demo)
    start = send([f"level {level}"])
    state = follow_hints(send, start)
    proc.stdin.close()
    proc.wait()
    return state, start["par"]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--demo", required=True)
    ap.add_argument("--data", required=True)
    args = ap.parse_args()
    demo = os.path.abspath(args.demo)
    work = tempfile.mkdtemp(prefix="tarno-hints-")
    failures = 0
    try:
        copy_data(args.data, work)
        os.chdir(work)
        for level in range(1, 13):
            state, par = play(demo, level)
            shots = state["shotsFired"]
            ok = state["won"] and shots == par
            failures += not ok
            print(f"level {level}: {'won' if state['won'] else 'not won'} in {shots} shots, par {par}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
