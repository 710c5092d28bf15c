#!/usr/bin/env python3
"""Figures of the browser site: its transfer size gzipped (what a visit
fetches, the service worker's copies and the manifest included; the larger
icons only an install fetches are counted apart), the time from navigation to
the first frame in headless Chromium, online and with the network off, and
the frame time inside the page (the game's frame and the canvas update,
without the wait).

usage: web_figures.py [SITE]   (default build/web/site, as make web builds it)
"""
import gzip
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import browser  # noqa: E402


# Fetched only when the page is installed (the manifest's larger icons).
INSTALL_ONLY = {"tarno-512.png", "tarno-maskable-192.png", "tarno-maskable-512.png"}


def main():
    site = sys.argv[1] if len(sys.argv) > 1 else "build/web/site"
    total = installed = 0
    for name in sorted(os.listdir(site)):
        data = open(os.path.join(site, name), "rb").read()
        packed = len(gzip.compress(data, 9))
        install_only = name in INSTALL_ONLY
        if install_only:
            installed += packed
        else:
            total += packed
        print("%-24s %8d bytes, %7d gzipped%s" % (name, len(data), packed, " (install only)" if install_only else ""))
    print("transfer size: %.1f KB gzipped (target at most 400 KB); the install's icons %.1f KB more"
          % (total / 1024, installed / 1024))

    server = browser.Server(site, isolated=True)
    b = browser.Browser(1024, 900)
    try:
        cold = b.open(server.url)
        warm = [b.reload() for _ in range(5)]
        print("navigation to first frame: %.1f ms cold, %.1f ms median of 5 reloads (target at most 1000 ms)"
              % (cold, statistics.median(warm)))
        # A site with a service worker: the same reloads with the network off.
        if b.evaluate("'serviceWorker' in navigator && navigator.serviceWorker.getRegistration().then((r) => !!r)"):
            b.evaluate("navigator.serviceWorker.controller ? 1 : new Promise((done) =>"
                       " navigator.serviceWorker.addEventListener('controllerchange', done))")
            b.call("Network.enable")
            b.call("Network.emulateNetworkConditions", {"offline": True, "latency": 0, "downloadThroughput": -1,
                                                        "uploadThroughput": -1})
            offline = [b.reload() for _ in range(5)]
            b.call("Network.emulateNetworkConditions", {"offline": False, "latency": 0, "downloadThroughput": -1,
                                                        "uploadThroughput": -1})
            print("navigation to first frame with the network off: %.1f ms median of 5 reloads"
                  % statistics.median(offline))
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
