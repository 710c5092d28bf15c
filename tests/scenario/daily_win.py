#!/usr/bin/env python3
"""Plays the daily level of a fixed date by its hints alone, as hints_win.py
plays the shipped levels: it must be won in exactly its par, say where it
comes from, and leave the saved progress and the Levels menu as they were."""
import os
import sys

from hints_win import demo_folder, demo_session, follow_hints

DATE = "2026-12-07"
SAVED = 3


def main():
    with demo_folder("tarno-daily-") as demo:
        proc, send = demo_session(demo, dict(os.environ, TARNO_SAVED_LEVEL=str(SAVED)))
        before = send([])
        start = send([f"daily {DATE}"])
        par = start["par"]
        state = follow_hints(send, start)
        state = send(["wait 200"])
        # The way on after a made level's win: another of its grade.
        after = send(["menu 68", "wait 1"])
        proc.stdin.close()
        proc.wait()
    checks = [
        (start["source"] == f"daily {DATE} easy", f"source {start['source']!r}"),
        (start["status"].startswith(f"Daily {DATE}, Periscopes, easy   Shots 0, par {par}"), f"status {start['status']!r}"),
        (bool(start["code"]), "the level has a code"),
        (par and 4 <= par <= 6, f"par {par} is an easy one"),
        (state["won"] and state["shotsFired"] == par, f"won {state['won']} in {state['shotsFired']}, par {par}"),
        ("Won in par!" in state["status"], f"status {state['status']!r}"),
        (state["saved"] == SAVED and before["saved"] == SAVED, f"saved {before['saved']} then {state['saved']}"),
        (state["menu"] == before["menu"], f"menu {before['menu']} then {state['menu']}"),
        (state["next"] == "Another easy level", f"next step {state['next']!r}"),
        (not state["undoOffered"] and not state["redoOffered"], "Undo and Redo greyed after the win"),
        (after["status"].startswith("Making an easy level"), f"after Next: {after['status']!r}"),
        (state["dailies"] == [{"date": DATE, "grade": 0, "shots": par}], f"daily records {state['dailies']}"),
    ]
    failed = [why for ok, why in checks if not ok]
    for why in failed:
        print("FAIL:", why)
    print(f"daily {DATE}: {'won' if state['won'] else 'not won'} in {state['shotsFired']} shots, par {par}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
