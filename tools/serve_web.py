#!/usr/bin/env python3
"""Serves the browser site as plain static files on this machine, with the
types a browser needs: WebAssembly as application/wasm (or it refuses to
compile it as it streams in) and the manifest as a web app manifest.

usage: serve_web.py [--directory SITE] [PORT]   (default build/web/site, 8000)
"""
import argparse
import functools
import http.server

TYPES = {
    ".wasm": "application/wasm",
    ".webmanifest": "application/manifest+json",
    ".js": "text/javascript",
    ".css": "text/css",
    ".png": "image/png",
}


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, **TYPES}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--directory", default="build/web/site")
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("port", nargs="?", type=int, default=8000)
    args = parser.parse_args()
    handler = functools.partial(SiteHandler, directory=args.directory)
    with http.server.ThreadingHTTPServer((args.bind, args.port), handler) as httpd:
        httpd.serve_forever()


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        pass
