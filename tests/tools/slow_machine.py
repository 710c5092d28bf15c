#!/usr/bin/env python3
"""A demo reads the same on a slow machine as on a fast one.

Level 12 after two careless shots is lost, and the search that finds it out
meets some 130,000 boards: far more than a wall-clock budget allows under
valgrind. The demo player counts its budget in boards, so the dump under
valgrind (a machine some five times slower) is the dump without it.

usage: slow_machine.py TARNO_DEMO RUN_DIR
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

SCRIPT = """level 12
# down 6: the wedge on column 6 slides into a pair
tap 312 24
wait 36
tap 312 24
wait 8
rest
# down 7: the board can no longer be won
tap 360 24
wait 6
tap 360 24
wait 8
rest
dump
"""


def main():
    demo, run_dir = os.path.abspath(sys.argv[1]), sys.argv[2]
    valgrind = shutil.which("valgrind")
    if not valgrind:
        print("FAIL valgrind is not installed (make deps-test installs it)")
        return 1
    with tempfile.TemporaryDirectory() as tmp:
        script = os.path.join(tmp, "careless.demo")
        with open(script, "w") as f:
            f.write(SCRIPT)
        fast = subprocess.run([demo, script], cwd=run_dir, capture_output=True, text=True, timeout=120)
        slow = subprocess.run([valgrind, "--tool=none", "-q", demo, script], cwd=run_dir, capture_output=True,
                              text=True, timeout=600)
    if fast.returncode or slow.returncode:
        print("tarno-demo failed:", fast.stderr, slow.stderr)
        return 1
    dump = json.loads(fast.stdout.strip().splitlines()[-1])
    if dump["lost"] is not True:
        print("expected the board lost, got", dump["lost"])
        return 1
    if fast.stdout != slow.stdout:
        print("the dump under valgrind differs:\n", fast.stdout, "\n", slow.stdout)
        return 1
    print("same dump, lost:", dump["lost"])
    return 0


if __name__ == "__main__":
    sys.exit(main())
