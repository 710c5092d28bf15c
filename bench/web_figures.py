#!/usr/bin/env python3
"""Figures of the browser site: its transfer size gzipped, the time from
navigation to the first frame in headless Chromium, and the frame time inside
the page (the game's frame and the canvas update, without the wait).

usage: web_figures.py [SITE]   (default build/web/site, as make web builds it)
"""
import gzip
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import browser  # noqa: E402


def main():
    site = sys.argv[1] if len(sys.argv) > 1 else "build/web/site"
    total = 0
    for name in sorted(os.listdir(site)):
        data = open(os.path.join(site, name), "rb").read()
        packed = len(gzip.compress(data, 9))
        total += packed
        print("%-12s %8d bytes, %7d gzipped" % (name, len(data), packed))
    print("transfer size: %.1f KB gzipped (target at most 400 KB)" % (total / 1024))

    server = browser.Server(site, isolated=True)
    b = browser.Browser(1024, 900)
    try:
        cold = b.open(server.url)
        warm = [b.reload() for _ in range(5)]
        print("navigation to first frame: %.1f ms cold, %.1f ms median of 5 reloads (target at most 1000 ms)"
              % (cold, statistics.median(warm)))
        # Real time at the display's pace: the tank drives down and along the bottom, then rests.
        b.evaluate("tarno.stats.frameMs.length = 0")
        for key in ("down", "right"):
            b.key(key, True)
            time.sleep(2)
            b.key(key, False)
        time.sleep(2)
        times = sorted(b.evaluate("tarno.stats.frameMs"))
        print("frame time inside the page: median %.3f ms, 95th percentile %.3f ms over %d frames"
              " (target median at most 0.5 ms)"
              % (statistics.median(times), times[int(len(times) * 0.95)], len(times)))
    finally:
        b.close()
        server.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
