#!/usr/bin/env python3
"""Plays the browser build as on a phone: headless Chromium with touch
emulation at 390 by 844 CSS pixels and a pixel ratio of 3. The field fills
the width, taps neither scroll nor zoom the page, the menus and the Undo
button answer a finger, level 1 is won by taps alone, a reload with the network off still plays, and the
page runs under its Content-Security-Policy with no violation.

usage: phone_test.py --site DIR --run-dir DIR --solve PATH

Exit codes: 0 passed, 1 failed (a missing Chromium too).
"""
import argparse
import base64
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
from gtk_e2e import RING, check, fire_position, log, run_session  # noqa: E402
from web_test import status, step_until, tap as tap_key  # noqa: E402

WIDTH, HEIGHT, RATIO = 390, 844, 3

# Each document notes the policy's violations where the test can read them.
WATCH_POLICY = """window.tarnoViolations = [];
document.addEventListener('securitypolicyviolation',
  (e) => window.tarnoViolations.push(e.violatedDirective + ' ' + e.blockedURI));"""


def touch(b, x, y):
    b.call("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [{"x": x, "y": y}]})
    b.call("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})


def field_box(b):
    return b.evaluate("(() => { const r = document.getElementById('field').getBoundingClientRect();"
                      " return [r.left, r.top, r.width]; })()")


def tap_cell(b, cell):
    """A finger on the middle of a board cell where the page shows it."""
    left, top, width = field_box(b)
    scale = width / 672
    touch(b, left + (cell[0] * 48 + 24) * scale, top + (cell[1] * 48 + 24) * scale)


def centre(b, selector):
    return b.evaluate("(() => { const r = document.querySelector(%r).getBoundingClientRect();"
                      " return [r.left + r.width / 2, r.top + r.height / 2]; })()" % selector)


def level_one_by_touch(b, args):
    """Level 1 as the solver would win it, by taps: the cells to fire from,
    and a shot from one of them (a tap on a border cell drives the tank
    there, a tap on the tank fires). The Restart button first, since taps
    before may have set the tank driving."""
    b.evaluate("tarno.pause()")
    touch(b, *centre(b, "#buttons button:nth-child(4)"))
    b.evaluate("tarno.step(20)")
    out = subprocess.run([args.solve, os.path.join(args.run_dir, "level1.dat")], capture_output=True, timeout=120,
                         check=True).stdout.decode()
    moves = [line.split() for line in out.splitlines() if line.split()[:1] in (["left"], ["right"], ["up"], ["down"])]
    goals = [fire_position(" ".join(move))[0] for move in moves]
    tank = [(0, 0)]

    def shoot_from(goal, shots):
        ahead = (RING.index(goal) - RING.index(tank[0])) % len(RING)
        if ahead:  # a tap on the tank where it stands would fire
            tap_cell(b, goal)
            b.evaluate("tarno.step(%d)" % (6 * min(ahead, len(RING) - ahead) + 2))
        tank[0] = goal
        tap_cell(b, goal)
        fired = step_until(b, "Shots %d" % shots) is not None
        b.evaluate("tarno.step(90)")  # the shot flies out
        return fired

    return goals, shoot_from


def win_by_touch(b, args):
    goals, shoot_from = level_one_by_touch(b, args)
    for shots, goal in enumerate(goals, 1):
        if not check(shoot_from(goal, shots), "shot %d fired by taps: '%s'" % (shots, status(b))):
            break
    check("Won in par!" in status(b), "level 1 won by touch alone, in par: '%s'" % status(b))


def violations(b):
    return b.evaluate("window.tarnoViolations")


def play(b, url, args):
    b.open(url)
    policy = b.evaluate("(document.querySelector('meta[http-equiv=\"Content-Security-Policy\"]') || {}).content")
    check(bool(policy) and "script-src 'self' 'wasm-unsafe-eval'" in policy,
          "the page declares its Content-Security-Policy: %s" % policy)

    # The field: the whole width, square, in device pixels at the game's rule.
    box = b.evaluate("(() => { const c = document.getElementById('field'), r = c.getBoundingClientRect();"
                     " return [r.left, r.width, r.height, c.width, innerWidth]; })()")
    check(box[0] == 0 and box[1] == WIDTH and box[2] == WIDTH and box[3] == WIDTH * RATIO,
          "the field fills the width, square, at %d device pixels: %s" % (WIDTH * RATIO, box))
    tip = b.evaluate("document.getElementById('tip').textContent")
    check(tip == "Tap the border to drive, tap the tank to fire", "a first-time player sees the tip: '%s'" % tip)
    sizes = b.evaluate("[...document.querySelectorAll('#buttons button:not([hidden])')].map((e) => "
                       "[e.textContent, e.getBoundingClientRect().height])")
    check([s[0] for s in sizes] == ["Undo", "Redo", "Hint", "Restart"] and all(s[1] >= 44 for s in sizes),
          "Undo, Redo, Hint and Restart under the field, thumb-sized: %s" % sizes)

    # Taps on the field, a double tap among them: no scroll, no zoom.
    b.evaluate("tarno.pause()")
    for x, y in ((200, 300), (200, 300), (380, 600), (10, 80)):
        touch(b, x, y)
    b.evaluate("tarno.step(2)")
    moved = b.evaluate("[scrollX, scrollY, document.scrollingElement.scrollTop, visualViewport.scale]")
    check(moved == [0, 0, 0, 1], "taps neither scroll nor zoom the page: %s" % moved)

    # The menus open and close by touch; the level.dat files are in the File menu.
    touch(b, *centre(b, "#menubar .menu:first-child > button"))
    check(b.evaluate("document.querySelector('#menubar .menu.open') !== null"), "a tap opens the File menu")
    items = b.evaluate("[...document.querySelectorAll('#menubar .menu.open .item')].map((e) => e.textContent)")
    check(any(i.startswith("Download level.dat") for i in items) and any(i.startswith("Upload level.dat") for i in items),
          "the File menu offers level.dat's download and upload: %s" % items)
    touch(b, 200, 700)
    check(b.evaluate("document.querySelector('#menubar .menu.open') === null"), "a tap elsewhere closes it")

    # How to play: the words with the sheet's pictures; closed, the game plays on.
    touch(b, *centre(b, "#menubar .menu:last-child > button"))
    b.evaluate("[...document.querySelectorAll('#menubar .menu.open .item')]"
               ".find((e) => e.textContent === 'How to play').id = 'how-to-play'")
    touch(b, *centre(b, "#how-to-play"))
    pictures = b.evaluate("document.getElementById('howto').open &&"
                          " document.querySelectorAll('#howto-lines canvas[data-drawn]').length")
    check(pictures == 6, "How to play opens with its six pictures (%s)" % pictures)
    touch(b, *centre(b, "#howto form button"))
    # The dialog's close event comes as a task of its own: give it a moment.
    runs = b.evaluate("new Promise((done) => { let n = 0; const poll = () => {"
                      " if (Module.tarnoPage.mayRun() || ++n > 50) done(Module.tarnoPage.mayRun());"
                      " else setTimeout(poll, 20); }; poll(); })")
    check(runs == 1, "after How to play closes the game runs again")

    # Level 1 by touch alone, as the solver would win it: a tap on a border
    # cell drives the tank there, a tap on the tank fires. The Restart button
    # first, since the taps above may have set the tank driving.
    goals, shoot_from = level_one_by_touch(b, args)
    check(shoot_from(goals[0], 1), "a tap drove the tank and a tap on it fired: '%s'" % status(b))
    check(b.evaluate("document.getElementById('tip').textContent") == "", "the tip is gone after the first shot")
    touch(b, *centre(b, "#buttons button:first-child"))
    check(step_until(b, "Shots 0") is not None, "the Undo button undoes the shot: '%s'" % status(b))
    for shots, goal in enumerate(goals, 1):
        if not check(shoot_from(goal, shots), "shot %d fired by taps: '%s'" % (shots, status(b))):
            break
    check("Won in par!" in status(b), "level 1 won by touch alone, in par: '%s'" % status(b))
    check("tap Next level" in status(b) and "press R" not in status(b),
          "the status names the button, not a key: '%s'" % status(b))
    shown = b.evaluate("[document.getElementById('next').hidden, document.getElementById('next').textContent,"
                       " document.querySelector('#buttons button:first-child').disabled]")
    check(shown == [False, "Next level", True], "after the win a Next level button, and Undo greyed: %s" % shown)
    touch(b, *centre(b, "#next"))
    check(step_until(b, "Level 2: ") is not None, "the Next level button starts level 2: '%s'" % status(b))
    check(b.evaluate("document.getElementById('next').hidden"), "and goes away")
    moved = b.evaluate("[scrollX, scrollY, document.scrollingElement.scrollTop, visualViewport.scale]")
    check(moved == [0, 0, 0, 1], "the page neither scrolled nor zoomed in play: %s" % moved)

    # In the editor a tap is the left click; a finger held over half a second,
    # or a second finger beside it, is the right click. S keeps the board.
    tap_key(b, "d")
    b.evaluate("tarno.step(2)")
    tap_cell(b, (3, 3))
    b.evaluate("tarno.step(2)")
    left, top, width = field_box(b)
    x, y = left + (4 * 48 + 24) * width / 672, top + (4 * 48 + 24) * width / 672
    b.call("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [{"x": x, "y": y}]})
    b.evaluate("new Promise((done) => setTimeout(done, 700))")
    b.call("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})
    b.evaluate("tarno.step(2)")
    x, y = left + (5 * 48 + 24) * width / 672, top + (5 * 48 + 24) * width / 672
    b.call("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [{"x": x, "y": y, "id": 1},
                                                                              {"x": x + 30, "y": y, "id": 2}]})
    b.call("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})
    b.evaluate("tarno.step(2)")
    tap_key(b, "s")
    kept = base64.b64decode(b.evaluate("localStorage.getItem('tarno.level.dat') || ''"))
    cells = [kept[3 * 14 + 3], kept[4 * 14 + 4], kept[5 * 14 + 5]] if len(kept) == 300 else kept
    check(cells == [16, 17, 17], "in the editor a tap set a block, a long press and a two-finger tap a balloon: %s"
          % (cells,))
    tap_key(b, "enter")

    check(not violations(b), "no Content-Security-Policy violation: %s" % violations(b))

    # Offline: once the service worker keeps the site, a reload without the network still plays.
    b.evaluate("tarno.resume()")
    b.evaluate("navigator.serviceWorker.ready.then(() => navigator.serviceWorker.controller ? 1 : new Promise("
               "(done) => navigator.serviceWorker.addEventListener('controllerchange', done)))")
    b.call("Network.enable")
    b.call("Network.emulateNetworkConditions", {"offline": True, "latency": 0, "downloadThroughput": -1,
                                                "uploadThroughput": -1})
    b.reload()
    b.evaluate("tarno.pause()")
    b.evaluate("tarno.step(2)")
    check(status(b).startswith("Level 2: "), "with the network off a reload reaches the first frame of the level won to: '%s'"
          % status(b))
    check(b.evaluate("document.getElementById('tip').textContent") == "", "the tip stays gone for a player who has shot")
    check(not violations(b), "no Content-Security-Policy violation offline: %s" % violations(b))
    b.call("Network.emulateNetworkConditions", {"offline": False, "latency": 0, "downloadThroughput": -1,
                                                "uploadThroughput": -1})
    b.evaluate("tarno.resume()")
    new_build(b, args)


def new_build(b, args):
    """A new build's service worker (its cache named for other files) waits
    until the player chooses to reload; then it alone is kept."""
    worker = os.path.join(args.served, "sw.js")
    with open(worker) as f:
        text = f.read()
    with open(worker, "w") as f:
        f.write(text.replace("const CACHE = 'tarno-", "const CACHE = 'tarno-next-"))
    b.evaluate("navigator.serviceWorker.getRegistration().then((r) => r.update()).then(() => 1)")
    deadline = time.time() + 20
    while b.evaluate("document.getElementById('update').hidden") and time.time() < deadline:
        time.sleep(0.2)
    notice = b.evaluate("document.getElementById('update').hidden ? '' : document.getElementById('update').textContent")
    check(notice == "A new version is ready: reload", "the page offers the new build: '%s'" % notice)
    with b.lock:
        b.events = [e for e in b.events if e.get("method") != "Page.loadEventFired"]
    touch(b, *centre(b, "#update"))
    b.wait_event("Page.loadEventFired")
    b.evaluate("tarno.firstFrame")
    kept = b.evaluate("caches.keys()")
    check(len(kept) == 1 and kept[0].startswith("tarno-next-"), "after the reload only the new build is kept: %s" % kept)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", required=True)
    parser.add_argument("--run-dir", required=True)
    parser.add_argument("--solve", required=True)
    args = parser.parse_args()
    args.solve = os.path.abspath(args.solve)

    if not browser.find_chromium():
        log("FAIL chromium is not installed (make deps-test installs it)")
        return 1
    tmp = tempfile.mkdtemp(prefix="tarno-phone-")
    # Served from a copy, which the test changes into a new build.
    args.served = os.path.join(tmp, "site")
    shutil.copytree(args.site, args.served)
    server = browser.Server(args.served)
    opened = []

    def session():
        b = browser.Browser(WIDTH, HEIGHT)
        opened.append(b)
        b.call("Emulation.setDeviceMetricsOverride",
               {"width": WIDTH, "height": HEIGHT, "deviceScaleFactor": RATIO, "mobile": True})
        b.call("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        b.call("Page.addScriptToEvaluateOnNewDocument", {"source": WATCH_POLICY})
        play(b, server.url, args)
        errors = b.console_errors()
        check(not errors, "the page logged no console error %s" % errors)
        # The policy holds: a script put into the page is refused, and noticed.
        b.evaluate("document.body.append(Object.assign(document.createElement('script'),"
                   " {textContent: 'window.ranInline = 1'}))")
        check(not b.evaluate("window.ranInline") and any("script-src" in v for v in violations(b)),
              "an inline script is refused: %s" % violations(b))

    return run_session(session, lambda: server.stop_after(opened), tmp, what="notes")


if __name__ == "__main__":
    sys.exit(main())
