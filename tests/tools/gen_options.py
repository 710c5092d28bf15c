#!/usr/bin/env python3
"""tarno-gen's arguments: help is no error, every refusal says why (status
2), a run of seeds never wraps round past the last one, and a date's level
is the level of the grade and seed it names.
  gen_options.py GEN"""
import re
import subprocess
import sys

gen = sys.argv[1]
failures = []


def run(*args):
    return subprocess.run([gen, *args], capture_output=True, text=True, timeout=600)


r = run("--help")
if r.returncode != 0 or not r.stdout.startswith("usage: tarno-gen") or r.stderr:
    failures.append(f"--help: status {r.returncode}, stdout {r.stdout!r}")

LAST = "18446744073709551615"
for args, said in [
    ([], "--grade is missing"),
    (["--grade", "easy"], "--seed is missing"),
    (["--grade", "tough", "--seed", "1"], "no grade 'tough'"),
    (["--grade", "easy", "--seed", "-1"], "the seed '-1' is not a whole number"),
    (["--grade", "easy", "--seed", "18446744073709551616"], "the seed '18446744073709551616'"),
    (["--grade", "easy", "--seed", "1", "--count", "0"], "the count '0'"),
    (["--grade", "easy", "--seed"], "--seed needs a value"),
    (["--grade", "easy", "--seed", "1", "--colour"], "unknown argument '--colour'"),
    (["--grade", "easy", "--seed", LAST, "--count", "3"], "would run past the last seed"),
    (["--grade", "easy", "--seed", "18446744073709551614", "--count", "3"], "would run past the last seed"),
    (["--daily", "2026-02-30"], "not a day of the calendar"),
    (["--daily", "yesterday"], "not a date"),
    (["--daily", "2026-12-07", "--seed", "4"], "--daily takes its grade and seed from the date alone"),
]:
    r = run(*args)
    if r.returncode != 2 or not r.stderr.startswith("tarno-gen: ") or said not in r.stderr or r.stdout:
        failures.append(f"{args}: status {r.returncode}, stderr {r.stderr!r}; wanted 2 and {said!r}")

# The last two seeds are a run that ends exactly at the last one.
r = run("--grade", "easy", "--seed", "18446744073709551614", "--count", "2")
seeds = re.findall(r"^# seed: (\d+)$", r.stdout, re.M)
if r.returncode != 0 or seeds != ["18446744073709551614", LAST]:
    failures.append(f"the last two seeds: status {r.returncode}, seeds {seeds}")

# A Monday's level is easy, a Friday's hard; each is its grade and seed's level.
for date, grade in [("2026-12-07", "easy"), ("2026-12-11", "hard")]:
    r = run("--daily", date)
    head = dict(re.findall(r"^# ([a-z]+): (.*)$", r.stdout, re.M))
    if r.returncode != 0 or not re.match(rf"name: Daily {date}, [A-Z][a-z ]+, {grade}\n", r.stdout) or head.get("grade") != grade:
        failures.append(f"--daily {date}: status {r.returncode}, {r.stdout[:80]!r}")
        continue
    same = run("--grade", grade, "--seed", head["seed"])
    if same.stdout.split("\n", 1)[1] != r.stdout.split("\n", 1)[1]:
        failures.append(f"--daily {date} is not the level of grade {grade}, seed {head['seed']}")
    if head.get("generator") is None or not head["generator"].isdigit():
        failures.append(f"--daily {date}: no generator version in the header")

for f in failures:
    print(f)
sys.exit(1 if failures else 0)
