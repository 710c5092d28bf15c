#!/usr/bin/env python3
"""The tools refuse what they cannot take faithfully, with status 2 and a
reason; what the game itself handles stays accepted."""
import os
import resource
import signal
import subprocess
import sys
import tempfile

demo, solve, levelc, data = sys.argv[1:5]
failures = []


def run(args, cwd=None):
    # The timeout only ends a hang; a refusal comes at once.
    try:
        return subprocess.run(args, cwd=cwd, capture_output=True, text=True, timeout=60)
    except subprocess.TimeoutExpired:
        return subprocess.CompletedProcess(args, "hung", "", "(no answer in 60 s)")


def expect(args, code, said="", cwd=None):
    r = run(args, cwd)
    if r.returncode != code or said not in r.stderr:
        failures.append(f"{args}: status {r.returncode}, stderr {r.stderr!r}; wanted {code} and {said!r}")


with tempfile.TemporaryDirectory() as tmp:
    script = os.path.join(tmp, "s.demo")
    for text, code, said in [
        ("wait 1\nrest abc\n", 2, "line 2"),
        ("rest -5\n", 2, "line 1"),
        ("wait -1\n", 2, "line 1"),
        ("menu 4294967317\n", 2, "line 1"),
        ("click left 32768 0\n", 2, "line 1"),
        ("menu 99\nclick left -5 9000\nclick right 700 700\nrest 0\nwait 0\n", 0, ""),
    ]:
        with open(script, "w") as f:
            f.write(text)
        expect([demo, script], code, said, cwd=data)
    expect([demo, tmp], 2, "cannot read")
    big = os.path.join(tmp, "big.txt")
    with open(big, "wb") as f:
        f.write(b"name: x\n" + b"." * (1 << 20))
    expect([solve, big], 2, "larger than 1 MiB")
    expect([levelc, big, os.path.join(tmp, "out.dat")], 2, "larger than 1 MiB")
    # Nothing waits on a FIFO or reads a device without end: each is refused.
    expect([levelc, "--text", "/dev/zero"], 2, "not a regular file")
    fifo = os.path.join(tmp, "fifo")
    os.mkfifo(fifo)
    expect([demo, fifo], 0, "")  # a pipe plays as it comes: with no writer, nothing
    expect([demo, "/dev/zero"], 2, "not a regular file")
    expect([solve, fifo], 2, "not a regular file")
    expect([levelc, fifo, os.path.join(tmp, "out.dat")], 2, "not a regular file")
    expect([levelc, "--text", fifo], 2, "not a regular file")

    # A write that fails part-way (here the file size limit) leaves the old
    # output exactly as it was.
    out = os.path.join(tmp, "kept.txt")
    with open(out, "wb") as f:
        f.write(b"old output")

    def small_files():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (100, 100))

    level = os.path.join(data, "level1.dat")
    r = subprocess.run([levelc, "--text", level, out], capture_output=True, text=True, timeout=60,
                       preexec_fn=small_files)
    if r.returncode != 1 or open(out, "rb").read() != b"old output" or len(os.listdir(tmp)) != 4:
        failures.append(f"a failed write: status {r.returncode}, {open(out, 'rb').read()[:20]!r}, "
                        f"{sorted(os.listdir(tmp))}, stderr {r.stderr!r}")

for f in failures:
    print(f)
sys.exit(1 if failures else 0)
