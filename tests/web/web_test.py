#!/usr/bin/env python3
"""Plays the browser build in headless Chromium as a player would: key events,
clicks, a reload. Pictures are checked against the headless game's pictures
of the same moments, so they must match pixel for pixel.

usage: web_test.py --site DIR --run-dir DIR --demo PATH --solve PATH

Exit codes: 0 passed, 1 failed (a missing Chromium too).
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, HERE)

import browser  # noqa: E402
from gtk_e2e import CELL, FIELD, Picture, check, compare, demo_picture, demo_run, log, run_session  # noqa: E402

# The solver's "rest" waits until the shots stop; paced by hand, a fixed
# count that outlasts any shot of level 1 plays the same on both sides.
REST_FRAMES = 200
LEVEL_SOURCE = os.path.join(HERE, "..", "..", "data", "levels", "level3.txt")


def canvas(b):
    width, height, rgb = b.canvas_rgb()
    return Picture(width, height, rgb)


def menu_enabled(b, command):
    return b.evaluate("!document.querySelector('[data-command=\"%d\"]').disabled" % command)


def check_every_command_arrives(b):
    """Every entry of the page's menus and every button beside the status
    line (the greyed ones for the moment not), clicked, reaches the game, which
    only counts them meanwhile."""
    missed = b.evaluate("""(() => {
        const items = [...document.querySelectorAll('#menubar .item[data-command]')];
        const greyed = items.map((item) => item.disabled);
        tarno.probeCommands(true);
        items.forEach((item) => { item.disabled = false; item.click(); });
        const buttons = [...document.querySelectorAll('#buttons button:not(#next)')];
        const greyedButtons = buttons.map((button) => button.disabled);
        buttons.forEach((button) => { button.disabled = false; button.click(); });
        tarno.probeCommands(false);
        items.forEach((item, i) => { item.disabled = greyed[i]; });
        buttons.forEach((button, i) => { button.disabled = greyedButtons[i]; });
        return tarno.commandsMissed; })()""")
    check(missed == "", "every menu entry and button of the page reaches the game (missed: %s)" % missed)


def play_script(b, script):
    """A tarno-demo script played as key events and menu clicks, frames stepped by hand."""
    held = set()
    for line in script.splitlines():
        words = line.split()
        if not words or words[0].startswith("#"):
            continue
        if words[0] == "level":
            b.evaluate("document.querySelector('[data-command=\"%d\"]').click()" % (20 + int(words[1])))
        elif words[0] == "keys":
            for key in sorted(held - set(words[1:])):
                b.key(key, False)
            for key in sorted(set(words[1:]) - held):
                b.key(key, True)
            held = set(words[1:])
        elif words[0] == "wait":
            b.evaluate("tarno.step(%d)" % int(words[1]))
        elif words[0] == "rest":
            b.evaluate("tarno.step(%d)" % REST_FRAMES)
        elif words[0] != "dump":
            raise ValueError("no browser move for '%s'" % line)


def as_demo(script):
    return "\n".join("wait %d" % REST_FRAMES if line.strip() == "rest" else line for line in script.splitlines())


def field_point(b, x, y):
    """Page coordinates of a field pixel, through the canvas's place and scale."""
    box = b.evaluate("(() => { const r = document.getElementById('field').getBoundingClientRect();"
                     " return [r.left, r.top, r.width]; })()")
    return box[0] + (x + 0.5) * box[2] / FIELD, box[1] + (y + 0.5) * box[2] / FIELD


def play(b, url, args, tmp, data_dir):
    # The first frame, as the headless game draws it.
    b.open(url)
    first = demo_picture(args, data_dir, tmp, "first", "wait 1")
    compare(canvas(b), first, "first frame of level 1 matches the headless picture", dump_dir=tmp)
    check(not menu_enabled(b, 22), "Level 2 is greyed at the start")
    check_every_command_arrives(b)

    # A held Down key moves the tank along the left column, at the game's own pace.
    b.key("down", True)
    time.sleep(0.15)
    b.key("down", False)
    time.sleep(0.5)
    seen = canvas(b)
    moved = [demo_picture(args, data_dir, tmp, "down%d" % cells, "keys down\nwait %d\nkeys\nwait 30" % (6 * cells))
             for cells in (1, 2, 3)]
    check(any(seen.rgb == m.rgb for m in moved), "a held Down key moved the tank one to three cells down")

    # Level 1 won by the solver's solution, played as key events.
    b.evaluate("tarno.pause()")
    script = subprocess.run([args.solve, "--demo", os.path.join(data_dir, "level1.dat")], capture_output=True,
                            timeout=120, check=True).stdout.decode()
    play_script(b, script)
    b.evaluate("tarno.step(90)")  # the banner comes a second after the win
    won = demo_picture(args, data_dir, tmp, "won", as_demo(script) + "\nwait 90")
    compare(canvas(b), won, "board and banner after the win match the headless picture", dump_dir=tmp)
    check(menu_enabled(b, 22) and not menu_enabled(b, 23), "Level 2 is enabled after the win, Level 3 is not")

    # The progress outlives the page.
    b.reload()
    check(menu_enabled(b, 22) and not menu_enabled(b, 23), "after a reload Level 2 is still enabled")
    # So do the records, beside it: View/Records... lists level 1 won in par.
    records = b.evaluate("localStorage.getItem('tarno.records')") or ""
    check("level 1 4 par" in records, "the records are kept beside the progress (%r)" % records)
    check(b.evaluate("localStorage.getItem('tarno.level')") == "2", "the progress is still the level reached")
    b.evaluate("document.querySelector('[data-command=\"13\"]').click()")
    shown = b.evaluate("Array.from(document.querySelector('#records-text tr').cells).map((c) => c.textContent)")
    check(shown == ["Level 1: First Aim", "par 4", "best 4, won in par"],
          "after a reload the records panel lists level 1 won in par %s" % shown)
    b.evaluate("document.querySelector('#records button').click()")
    second = demo_picture(args, data_dir, tmp, "second", "level 2\nwait 1")
    compare(canvas(b), second, "after a reload the game starts on level 2", dump_dir=tmp)

    # The editor: D empties the board, a click toggles the block under it, S keeps level.dat.
    b.evaluate("tarno.pause()")
    b.key("d", True)
    b.evaluate("tarno.step(1)")
    b.key("d", False)
    b.evaluate("tarno.step(2)")
    empty = canvas(b)
    x, y = 3 * CELL + 10, 4 * CELL + 30
    b.click(*field_point(b, x, y))
    b.evaluate("tarno.step(2)")
    edited = demo_picture(args, data_dir, tmp, "edited",
                          "level 2\nwait 1\nkeys d\nwait 1\nkeys\nwait 2\nclick left %d %d\nwait 2" % (x, y))
    check(canvas(b).rgb != empty.rgb, "the click changed the board")
    compare(canvas(b), edited, "a click in the editor toggles the block under it", dump_dir=tmp)
    b.key("s", True)
    b.evaluate("tarno.step(1)")
    b.key("s", False)
    stored = b.evaluate("(localStorage.getItem('tarno.level.dat') || '').length")
    check(stored == 400, "S keeps the 300 bytes of level.dat in localStorage (%d base64 characters)" % stored)

    # Full storage: the save is told as not kept, never as saved.
    b.evaluate("window.keepSetItem = Storage.prototype.setItem;"
               "Storage.prototype.setItem = function () { throw new DOMException('full', 'QuotaExceededError'); }")
    b.click(*field_point(b, x, y))
    b.evaluate("tarno.step(2)")
    tap(b, "s")
    check("level.dat could not be kept: the browser refused to store it" in status(b) and "Saved" not in status(b),
          "S with the storage full says level.dat was not kept: '%s'" % status(b))
    b.evaluate("Storage.prototype.setItem = window.keepSetItem")

    b.key("enter", True)
    b.evaluate("tarno.step(1)")
    b.key("enter", False)
    b.evaluate("tarno.step(1)")

    damaged_level(b)
    comforts(b)
    links(b, url, args, tmp, data_dir)

    # Esc ends the game and offers to start it again.
    b.key("esc", True)
    b.evaluate("tarno.step(1)")
    b.key("esc", False)
    check(b.evaluate("getComputedStyle(document.getElementById('ended')).display") == "block",
          "Esc ends the game and shows the page to start it again")


def status(b):
    return b.evaluate("document.getElementById('status').textContent")


def step_until(b, words, frames=300):
    """Steps frames until the status line holds `words`; the frames it took, or None."""
    for run in range(0, frames, 10):
        if words in status(b):
            return run
        b.evaluate("tarno.step(10)")
    return None


def tap(b, key, modifiers=0):
    b.key(key, True, modifiers)
    b.evaluate("tarno.step(1)")
    b.key(key, False, modifiers)
    b.evaluate("tarno.step(1)")


def damaged_level(b):
    """A level.dat in storage that is not a level is told on L and never loaded."""
    for damaged in ("not base64!", "AAAA"):
        b.evaluate("localStorage.setItem('tarno.level.dat', '%s')" % damaged)
        b.reload()
        b.evaluate("tarno.pause()")
        b.evaluate("tarno.step(1)")
        tap(b, "d")
        tap(b, "l")
        check("level.dat could not be read: the copy the browser kept is not a level file" in status(b),
              "L with a stored level.dat of '%s' tells it is not a level: '%s'" % (damaged, status(b)))
        b.evaluate("document.getElementById('message').close()")  # the box of a file that cannot be read
    b.evaluate("localStorage.removeItem('tarno.level.dat')")


def comforts(b):
    """The solver's answers in a page without threads: the lost notice after a careless shot, Ctrl+Z, H."""
    b.evaluate("localStorage.setItem('tarno.level', '5')")
    b.reload()
    b.evaluate("tarno.pause()")
    b.evaluate("tarno.step(1)")
    check(status(b).startswith("Level 5: Snap Together   Shots 0"), "level 5 is in play: '%s'" % status(b))
    # The careless shot "right 2": two cells down, then fire right.
    play_script(b, "keys down\nwait 12\nkeys right\nwait 1\nkeys\nwait 8\nrest")
    took = step_until(b, "No way to win from here: U undoes, R restarts")
    check(took is not None and "Shots 1" in status(b),
          "the lost notice shows %s frames after the shot rests: '%s'" % (took, status(b)))
    tap(b, "z", b.CTRL)
    b.evaluate("tarno.step(10)")
    check("Shots 0" in status(b) and "No way" not in status(b), "Ctrl+Z undoes the shot: '%s'" % status(b))
    tap(b, "h")
    check(step_until(b, "Hint: fire right along row 9") is not None, "H shows the hint: '%s'" % status(b))

    # Ctrl+O opens the page's file chooser (not the browser's); the chosen level source is played.
    b.call("Page.setInterceptFileChooserDialog", {"enabled": True})
    tap(b, "o", b.CTRL)
    chooser = b.wait_event("Page.fileChooserOpened", timeout=10)["params"]
    b.call("DOM.setFileInputFiles", {"files": [os.path.abspath(LEVEL_SOURCE)], "backendNodeId": chooser["backendNodeId"]})
    with open(LEVEL_SOURCE) as source:
        name = source.readline().split(":", 1)[1].strip()
    check(step_until(b, name + "   Shots 0, par") is not None,
          "Ctrl+O plays the chosen level file: '%s'" % status(b))


def open_link(b, url, fragment, first_frame=True):
    """A fresh load of the page at a link, as a player who follows it."""
    b.call("Page.navigate", {"url": "about:blank"})
    time.sleep(0.3)
    if first_frame:
        b.open(url + fragment)
        return
    # A message box holds the first frame back: the load is all there is to wait for.
    with b.lock:
        b.events = [e for e in b.events if e.get("method") != "Page.loadEventFired"]
    b.call("Page.navigate", {"url": url + fragment})
    b.wait_event("Page.loadEventFired")


def links(b, url, args, tmp, data_dir):
    """Links that name a level: the daily level is the native one, a shared
    code plays its board, a mistyped code is told and the saved level plays."""
    daily = "2026-12-07"
    native = demo_run(args.demo, data_dir, tmp, "daily", "daily %s\ndump" % daily)[1]
    open_link(b, url, "#daily=" + daily)
    b.evaluate("tarno.pause()")
    check(step_until(b, "Daily %s, Periscopes, easy   Shots 0, par %d" % (daily, native["par"])) is not None,
          "#daily=%s starts the day's level: '%s'" % (daily, status(b)))
    b.evaluate("document.querySelector('[data-command=\"66\"]').click()")  # Copy level code
    copied = b.evaluate("document.getElementById('message-text').textContent")
    check(copied.startswith("Level code copied: %s\n" % native["code"]) and "#code=" + native["code"] in copied,
          "the page's daily level is the native one (%s): '%s'" % (native["code"], copied))
    b.evaluate("document.getElementById('message').close()")
    b.evaluate("document.querySelector('[data-command=\"67\"]').click()")  # Share this level
    shared = b.evaluate("document.getElementById('message-text').textContent")
    check(shared.startswith("Link copied: ") and shared.endswith("#code=" + native["code"]),
          "Edit > Share this level copies the link without a share sheet: '%s'" % shared)
    b.evaluate("document.getElementById('message').close()")

    shipped = demo_run(args.demo, data_dir, tmp, "level3-code", "level 3\ndump")[1]["code"]
    open_link(b, url, "#code=" + shipped)
    board = demo_picture(args, data_dir, tmp, "code", "code %s\nwait 1" % shipped)
    check(status(b).startswith("Code " + shipped[:8]), "#code= plays the board: '%s'" % status(b))
    compare(canvas(b), board, "a #code= link of level 3 matches the headless picture", dump_dir=tmp)

    typo = shipped[:5] + ("A" if shipped[5] != "A" else "B") + shipped[6:]
    open_link(b, url, "#code=" + typo, first_frame=False)
    told = None
    for _ in range(50):
        told = b.evaluate("document.getElementById('message').open && document.getElementById('message-text').textContent")
        if told:
            break
        time.sleep(0.1)
    check(bool(told) and "level code" in told, "a mistyped code is told: '%s'" % told)
    b.evaluate("document.getElementById('message').close()")
    b.evaluate("tarno.firstFrame")
    check(status(b).startswith("Level 5:"), "and the saved level plays: '%s'" % status(b))
    check(b.evaluate("location.hash") == "", "and the link is gone from the address: '%s'"
          % b.evaluate("location.href"))
    b.reload()
    b.evaluate("tarno.firstFrame")
    check(not b.evaluate("document.getElementById('message').open") and status(b).startswith("Level 5:"),
          "a reload then plays the saved level without telling again: '%s'" % status(b))

    # A link too long to read, or of a kind no level has, is told alike.
    for fragment, words in (("#bogus", "That link names no level"), ("#code=" + "A" * 600, "too long")):
        open_link(b, url, fragment, first_frame=False)
        told = None
        for _ in range(50):
            told = b.evaluate("document.getElementById('message').open && "
                              "document.getElementById('message-text').textContent")
            if told:
                break
            time.sleep(0.1)
        check(bool(told) and words in told, "a link of %d characters is told: '%s'" % (len(fragment), told))
        b.evaluate("document.getElementById('message').close()")
        b.evaluate("tarno.firstFrame")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", required=True)
    parser.add_argument("--run-dir", required=True)
    parser.add_argument("--demo", required=True)
    parser.add_argument("--solve", required=True)
    args = parser.parse_args()
    args.demo, args.solve = os.path.abspath(args.demo), os.path.abspath(args.solve)

    if not browser.find_chromium():
        log("FAIL chromium is not installed (make deps-test installs it)")
        return 1
    for name in ("index.html", "tarno.js", "tarno.wasm"):
        if not os.path.exists(os.path.join(args.site, name)):
            log("FAIL the site has no %s" % name)
            return 1

    tmp = tempfile.mkdtemp(prefix="tarno-web-")
    data_dir = os.path.join(tmp, "data")
    os.makedirs(data_dir)
    for name in os.listdir(args.run_dir):
        path = os.path.join(args.run_dir, name)
        if os.path.isfile(path) and (name.endswith((".dat", ".wav", ".bmp"))) and name != "level.dat":
            shutil.copy(path, data_dir)

    server = browser.Server(args.site)
    opened = []

    def session():
        opened.append(browser.Browser(1024, 900))
        play(opened[0], server.url, args, tmp, data_dir)
        errors = opened[0].console_errors()
        check(not errors, "the page logged no console error %s" % errors)

    return run_session(session, lambda: server.stop_after(opened), tmp, what="pictures")


if __name__ == "__main__":
    sys.exit(main())
