#!/usr/bin/env python3
"""Lighthouse's scores for the browser site, served as make serve-web serves
it, with Lighthouse's default mobile emulation and Debian's Chromium.

usage: lighthouse.py [SITE]   (default build/web/site, as make web builds it)

Lighthouse 12 comes from npm into build/lighthouse the first time (npm must
reach its registry then); the later runs use that copy.
"""
import functools
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..")
sys.path.insert(0, os.path.join(ROOT, "tools"))
from serve_web import SiteHandler  # noqa: E402

CACHE = os.path.join(ROOT, "build", "lighthouse")


class Quiet(SiteHandler):
    def log_message(self, *args):
        pass


def lighthouse():
    program = os.path.join(CACHE, "node_modules", ".bin", "lighthouse")
    if not os.path.exists(program):
        os.makedirs(CACHE, exist_ok=True)
        subprocess.run(["npm", "install", "--prefix", CACHE, "--no-audit", "--no-fund", "lighthouse@12"], check=True,
                       stdout=subprocess.DEVNULL)
    return program


def main():
    site = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "web", "site")
    program = lighthouse()
    chrome = shutil.which("chromium") or shutil.which("chromium-browser")
    if not chrome:
        print("no chromium")
        return 1
    httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=site))
    threading.Thread(target=httpd.serve_forever, daemon=True).start()
    out = tempfile.mkdtemp(prefix="tarno-lighthouse-")
    report = os.path.join(out, "report.json")
    flags = "--headless=new --no-sandbox" if os.geteuid() == 0 else "--headless=new"
    try:
        subprocess.run([program, "http://127.0.0.1:%d/" % httpd.server_address[1], "--output=json",
                        "--output-path=" + report, "--quiet", "--chrome-flags=" + flags,
                        "--only-categories=performance,accessibility,best-practices"],
                       env=dict(os.environ, CHROME_PATH=chrome), check=True)
        with open(report) as f:
            result = json.load(f)
    finally:
        httpd.shutdown()
        httpd.server_close()
        shutil.rmtree(out, ignore_errors=True)
    for name, category in result["categories"].items():
        print("%-16s %.2f" % (name, category["score"] or 0))
    audits = result["audits"]
    for name in ("first-contentful-paint", "largest-contentful-paint", "total-blocking-time",
                 "cumulative-layout-shift", "speed-index"):
        print("%-26s %s" % (name, audits[name].get("displayValue", "")))
    failed = [name for name, audit in audits.items()
              if audit.get("score") is not None and audit["score"] < 1 and audit.get("scoreDisplayMode") == "binary"]
    if failed:
        print("failed audits: " + ", ".join(sorted(failed)))
    print("targets: performance at least 0.90, layout shift at most 0.1, accessibility and best practices 1.00")
    return 0


if __name__ == "__main__":
    sys.exit(main())
