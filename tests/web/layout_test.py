#!/usr/bin/env python3
"""The page on the screens it must serve, in headless Chromium: a small and
a large phone upright (360 by 640; 390 by 844 at pixel ratios 2 and 3), a
phone on its side (844 by 390) and a desktop (1280 by 800). On each it
checks the field's size, the buttons' size, that no status text the game
can produce is cut, and that the buttons and the status stay on the screen.
On the phone on its side, level 1 is won by touch alone and the Next level
button is checked. A screenshot of each screen is kept in --out.

usage: layout_test.py --site DIR --run-dir DIR --solve PATH --out DIR

Exit codes: 0 passed, 1 failed, 77 skipped (no Chromium).
"""
import argparse
import base64
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, HERE)

import browser  # noqa: E402
from gtk_e2e import check, log, run_session  # noqa: E402
from phone_test import centre, touch, win_by_touch  # noqa: E402
from status_texts import STATUS_TEXTS  # noqa: E402
from web_test import status, step_until  # noqa: E402

SKIP = 77

# (name, width, height, pixel ratio, a phone)
SCREENS = [
    ("phone-360x640", 360, 640, 3, True),
    ("phone-390x844-dpr2", 390, 844, 2, True),
    ("phone-390x844-dpr3", 390, 844, 3, True),
    ("phone-844x390", 844, 390, 3, True),
    ("desktop-1280x800", 1280, 800, 1, False),
]

BOX = """(() => { const r = document.querySelector(%r).getBoundingClientRect();
  return [r.left, r.top, r.width, r.height]; })()"""


def box(b, selector):
    return b.evaluate(BOX % selector)


def screenshot(b, path):
    data = b.call("Page.captureScreenshot", {"format": "png"})["data"]
    with open(path, "wb") as f:
        f.write(base64.b64decode(data))


def on_screen(rect, width, height):
    left, top, w, h = rect
    return left >= 0 and top >= 0 and left + w <= width + 0.5 and top + h <= height + 0.5


def check_screen(b, name, width, height, ratio, phone):
    field = box(b, "#field")
    shorter = min(width, height)
    if phone:
        check(field[2] >= 0.9 * shorter, "%s: the field's side %.0f is at least 90%% of %d" % (name, field[2], shorter))
    check(on_screen(field, width, height), "%s: the field is on the screen %s" % (name, field))
    if (width, height, ratio) == (390, 844, 2):
        check(field[2] == width, "%s: the field fills the width (%.0f of %d)" % (name, field[2], width))
    buttons = b.evaluate("[...document.querySelectorAll('#buttons button:not([hidden])')].map((e) => {"
                         " const r = e.getBoundingClientRect(); return [e.textContent, r.left, r.top, r.width,"
                         " r.height]; })")
    check(len(buttons) >= 4 and all(h >= 44 and w >= 44 for _, _, _, w, h in buttons),
          "%s: the buttons are at least 44 px: %s" % (name, [(t, w, h) for t, _, _, w, h in buttons]))
    check(all(on_screen(r[1:], width, height) for r in buttons), "%s: the buttons are on the screen" % name)
    if phone and height > width:
        check(all(r[2] >= height / 2 for r in buttons), "%s: the buttons are in the lower half, at thumb height %s"
              % (name, [r[2] for r in buttons]))
    if phone and width > height:
        check(all(r[1] >= field[0] + field[2] for r in buttons), "%s: the buttons stand beside the field" % name)
    # Every status text whole: nothing cut at either side or below.
    b.evaluate("tarno.pause()")
    cut = []
    for text in STATUS_TEXTS:
        b.evaluate("Module.tarnoPage.setStatus(%r)" % text)
        fits = b.evaluate("(() => { const s = document.getElementById('status'), r = s.getBoundingClientRect();"
                          " return s.scrollHeight <= s.clientHeight + 1 && s.scrollWidth <= s.clientWidth + 1"
                          " && r.bottom <= innerHeight + 0.5 && r.right <= innerWidth + 0.5; })()")
        if not fits:
            cut.append(text)
    check(not cut, "%s: no status text is cut (%d tried): %s" % (name, len(STATUS_TEXTS), cut))
    # The longest of them stays up for the picture.
    b.evaluate("Module.tarnoPage.setStatus(%r)" % STATUS_TEXTS[0])


def open_screen(b, url, width, height, ratio, phone):
    b.call("Emulation.setDeviceMetricsOverride",
           {"width": width, "height": height, "deviceScaleFactor": ratio, "mobile": phone})
    b.call("Emulation.setTouchEmulationEnabled", {"enabled": phone, "maxTouchPoints": 5 if phone else 1})
    b.open(url)
    b.evaluate("tarno.firstFrame")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", required=True)
    parser.add_argument("--run-dir", required=True)
    parser.add_argument("--solve", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    args.solve = os.path.abspath(args.solve)
    if not browser.find_chromium():
        log("skipped: chromium is not installed")
        return SKIP
    os.makedirs(args.out, exist_ok=True)
    tmp = tempfile.mkdtemp(prefix="tarno-layout-")
    server = browser.Server(args.site)
    opened = []

    def session():
        for name, width, height, ratio, phone in SCREENS:
            b = browser.Browser(width, height)
            opened.append(b)
            open_screen(b, server.url, width, height, ratio, phone)
            check_screen(b, name, width, height, ratio, phone)
            if phone:
                items = b.evaluate("[...document.querySelectorAll('#menubar .item')].map((e) => e.textContent)")
                check("Exit" not in items and not any(i.endswith(("Ctrl+O", "Esc", "R")) for i in items),
                      "%s: the menus name no keys and offer no Exit" % name)
            screenshot(b, os.path.join(args.out, name + ".png"))
            if (width, height) == (844, 390):
                # Level 1 by touch alone; then the way on is in sight.
                b.evaluate("tarno.resume()")
                win_by_touch(b, args)
                next_box = box(b, "#next")
                check(b.evaluate("!document.getElementById('next').hidden") and next_box[3] >= 44
                      and on_screen(next_box, width, height),
                      "%s: after a win by touch alone the Next level button is on the screen %s" % (name, next_box))
                screenshot(b, os.path.join(args.out, name + "-won.png"))
                touch(b, *centre(b, "#next"))
                check(step_until(b, "Level 2: ") is not None, "%s: Next level starts level 2: '%s'"
                      % (name, status(b)))
            b.close()
            opened.remove(b)
        log("pictures in %s" % args.out)

    return run_session(session, lambda: server.stop_after(opened), tmp, what="notes")


if __name__ == "__main__":
    sys.exit(main())
