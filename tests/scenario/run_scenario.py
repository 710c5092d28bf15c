#!/usr/bin/env python3
"""Plays one scenario demo through tarno-demo and checks what it expects.

A scenario is a demo script whose comments carry the expectations:

    dump
    #expect tank.x == 48 and not won
    #expect sounds == ["shot.wav"]
    screenshot first.bmp
    #golden first.bmp level1-first.png

A scenario may bring its own boards, written as level files before the demo
starts (in the level sources' grid characters, which tarno-levelc --cells
lists: `.` empty, `#` block, `o` balloon, `0`-`3` a deflector), and the
saved level the game starts with:

    #saved 3
    #missing 5      (no level5.dat)
    #readonly 1     (level1.dat can be read but not written: the demo then
                     runs as a user other than the file's owner)
    #folder level.dat  (a folder where the game looks for that file)
    #board 1
    #| ............   (twelve rows of twelve cells, top row first)

`#expect EXPR` is checked against the JSON of the latest `dump` (fields by
name or index: board[6][5], shots[0].active). `file("level.dat")` gives the
bytes of a file in the game's folder as the demo left it, or None. `#golden SHOT REF` compares the
screenshot SHOT pixel for pixel with tests/scenario/golden/REF. Run with
--renew to write the references anew from this build (do so on purpose,
after a deliberate change of the pictures, and look at them first).
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


class Obj(dict):
    __getattr__ = dict.__getitem__


def wrap(value):
    if isinstance(value, dict):
        return Obj({k: wrap(v) for k, v in value.items()})
    if isinstance(value, list):
        return [wrap(v) for v in value]
    return value


def cell_codes(levelc):
    """The grid characters and their cell codes, as tarno-levelc knows them."""
    out = subprocess.run([levelc, "--cells"], capture_output=True, text=True, check=True)
    codes = {}
    for line in out.stdout.splitlines():
        char, code = line.split(" ")
        codes[char] = int(code)
    if not codes:
        raise SystemExit("tarno-levelc --cells listed no cells")
    return codes


def expect_scope(state, earlier, folder):
    # The dump's names as globals, so that generator expressions see them too;
    # `dumps` holds every dump so far, to compare with an earlier one.
    scope = {"__builtins__": {"len": len, "all": all, "any": any, "range": range, "list": list}}
    scope.update(state)
    scope["dumps"] = earlier

    def file(name):
        path = os.path.join(folder, name)
        return list(open(path, "rb").read()) if os.path.isfile(path) else None

    scope["file"] = file
    return scope


def write_boards(lines, folder, codes):
    for line in lines:
        m = re.match(r"#folder\s+(\S+)", line)
        if m:
            os.mkdir(os.path.join(folder, m.group(1)))
    for line in lines:
        m = re.match(r"#missing\s+(\d+)", line)
        if m and os.path.exists(os.path.join(folder, f"level{m.group(1)}.dat")):
            os.remove(os.path.join(folder, f"level{m.group(1)}.dat"))
    for i, line in enumerate(lines):
        m = re.match(r"#board\s+(\d+)", line)
        if not m:
            continue
        data = bytearray(300)
        rows = [l[3:].rstrip() for l in lines[i + 1:i + 13]]
        for cy, row in enumerate(rows, 1):
            if not lines[i + cy].startswith("#| ") or len(row) != 12:
                raise SystemExit(f"board {m.group(1)}: row {cy} must be '#| ' and 12 cells")
            for cx, ch in enumerate(row, 1):
                if ch not in codes:
                    raise SystemExit(f"board {m.group(1)}: row {cy}: unknown cell '{ch}'")
                data[cx * 14 + cy] = codes[ch]
        with open(os.path.join(folder, f"level{m.group(1)}.dat"), "wb") as f:
            f.write(data)


def pixels_differ(shot, ref):
    out = subprocess.run(["compare", "-metric", "AE", shot, ref, "null:"],
                         capture_output=True, text=True)
    if out.returncode not in (0, 1):
        raise RuntimeError(out.stderr.strip())
    return int(float(out.stderr.split()[0]))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--demo", required=True, help="the tarno-demo binary")
    ap.add_argument("--levelc", required=True, help="the tarno-levelc binary")
    ap.add_argument("--data", required=True, help="the run folder with the game's data")
    ap.add_argument("--renew", action="store_true", help="rewrite golden references")
    ap.add_argument("script")
    args = ap.parse_args()

    lines = open(args.script).read().splitlines()
    env = dict(os.environ)
    saved = next((m.group(1) for m in (re.match(r"#saved\s+(\d+)", l) for l in lines) if m), None)
    if saved is not None:
        env["TARNO_SAVED_LEVEL"] = saved
    else:
        env.pop("TARNO_SAVED_LEVEL", None)

    work = tempfile.mkdtemp(prefix="tarno-scenario-")
    try:
        for name in os.listdir(args.data):
            if name.endswith((".dat", ".bmp", ".wav", ".idx")):
                shutil.copy(os.path.join(args.data, name), work)
        write_boards(lines, work, cell_codes(os.path.abspath(args.levelc)))
        command = [os.path.abspath(args.demo), os.path.abspath(args.script)]
        readonly = [m.group(1) for m in (re.match(r"#readonly\s+(\d+)", l) for l in lines) if m]
        for n in readonly:
            os.chmod(os.path.join(work, f"level{n}.dat"), 0o444)
        if readonly and os.geteuid() == 0:
            # Root writes any file: play as nobody, who may write the folder
            # (the screenshots) but not the read-only levels.
            # The player and the script go into the folder too: the build may
            # lie where nobody cannot look (a clone under /root).
            os.chmod(work, 0o777)
            shutil.copy(args.demo, work)
            shutil.copy(args.script, os.path.join(work, "script.demo"))
            command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                       os.path.join(work, os.path.basename(args.demo)), os.path.join(work, "script.demo")]
        run = subprocess.run(command,
                             cwd=work, capture_output=True, text=True, env=env, timeout=300)
        if run.returncode != 0:
            print(run.stderr, file=sys.stderr)
            print(f"tarno-demo exited with {run.returncode}")
            return 1
        dumps = [json.loads(l) for l in run.stdout.splitlines() if l.startswith("{")]

        failures = 0
        seen = -1
        for number, line in enumerate(lines, 1):
            command = line.split("#", 1)[0].split()
            if command and command[0] == "dump":
                seen += 1
            m = re.match(r"\s*#expect\s+(.*)", line)
            if m:
                state = wrap(dumps[seen]) if 0 <= seen < len(dumps) else None
                try:
                    ok = state is not None and eval(m.group(1), expect_scope(state, [wrap(d) for d in dumps[: seen + 1]], work))
                except Exception as e:  # a typo in a scenario is a failure too
                    ok = False
                    print(f"{args.script}:{number}: {e}")
                if not ok:
                    failures += 1
                    print(f"{args.script}:{number}: expected {m.group(1)}")
                    if state is not None:
                        brief = {k: v for k, v in dumps[seen].items() if k != "board"}
                        print("  dump:", json.dumps(brief))
            m = re.match(r"\s*#golden\s+(\S+)\s+(\S+)", line)
            if m:
                shot = os.path.join(work, m.group(1))
                ref = os.path.join(HERE, "golden", m.group(2))
                if args.renew:
                    os.makedirs(os.path.dirname(ref), exist_ok=True)
                    subprocess.run(["convert", shot, ref], check=True)
                    print(f"renewed {ref}")
                elif not os.path.exists(ref):
                    failures += 1
                    print(f"{args.script}:{number}: no reference {ref} (run with --renew)")
                else:
                    differ = pixels_differ(shot, ref)
                    if differ:
                        failures += 1
                        keep = os.path.join(tempfile.gettempdir(), "tarno-" + m.group(2))
                        subprocess.run(["convert", shot, keep])
                        print(f"{args.script}:{number}: {differ} pixels differ from {m.group(2)} (this build's picture: {keep})")
        print(f"{os.path.basename(args.script)}: {len(dumps)} dumps, {failures} failures")
        return 1 if failures else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
