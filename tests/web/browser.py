"""The site served on localhost and Debian's Chromium, headless, driven through
the DevTools protocol over a pipe (no websocket, nothing downloaded).

Shared by the browser test and the figures script."""
import base64
import fcntl
import functools
import http.server
import json
import os
import shutil
import subprocess
import tempfile
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from serve_web import SiteHandler  # noqa: E402

FIELD = 672


# The first frame's time, once the page's script has run: a load event left
# over from an earlier navigation can come before it on a busy machine.
FIRST_FRAME = """new Promise((resolve, reject) => {
    const start = Date.now();
    (function poll() {
        if (window.tarno) resolve(window.tarno.firstFrame);
        else if (Date.now() - start > 20000) reject(new Error("the game's script never ran"));
        else setTimeout(poll, 20);
    })();
})"""


class Server:
    """The site as plain static files on 127.0.0.1, on a free port."""

    def __init__(self, site, isolated=False):
        handler = functools.partial(Isolated if isolated else Quiet, directory=site)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()

    def stop_after(self, opened):
        """Every browser a test left open closed, then the server stopped."""
        for b in opened:
            b.close()
        self.stop()


class Quiet(SiteHandler):
    def log_message(self, *args):
        pass


class Isolated(Quiet):
    """Cross-origin isolation: the page's clock then reads in microseconds, not tenths of a millisecond."""

    def end_headers(self):
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        super().end_headers()


def find_chromium():
    for name in ("chromium", "chromium-browser"):
        path = shutil.which(name)
        if path:
            return path
    return None


class Browser:
    """One headless Chromium with one page; call() sends a command to the page."""

    def __init__(self, width=1024, height=800):
        self.profile = tempfile.mkdtemp(prefix="tarno-chromium-")
        to_browser = os.pipe()
        from_browser = os.pipe()

        def pipes_as_3_and_4():
            # Above 10 first, so that neither copy lands on 3 or 4 too early.
            read_end = fcntl.fcntl(to_browser[0], fcntl.F_DUPFD, 10)
            write_end = fcntl.fcntl(from_browser[1], fcntl.F_DUPFD, 10)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)

        flags = ["--headless", "--remote-debugging-pipe", "--user-data-dir=" + self.profile,
                 "--window-size=%d,%d" % (width, height), "--force-device-scale-factor=1",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--no-first-run", "--disable-quic", "--disable-gpu", "--mute-audio",
                 "--no-default-browser-check"]
        if os.geteuid() == 0:
            flags.append("--no-sandbox")  # Chromium's sandbox refuses to run as root
        self.process = subprocess.Popen([find_chromium()] + flags + ["about:blank"], pass_fds=(3, 4),
                                        preexec_fn=pipes_as_3_and_4, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser[0])
        os.close(from_browser[1])
        self.writer = os.fdopen(to_browser[1], "wb")
        self.reader = os.fdopen(from_browser[0], "rb")
        self.lock = threading.Condition()
        self.replies = {}
        self.events = []
        self.next_id = 0
        self.session = None
        threading.Thread(target=self._read, daemon=True).start()

        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            self.call(domain + ".enable")

    def _read(self):
        buffer = b""
        while True:
            chunk = self.reader.read1(65536)
            if not chunk:
                break
            buffer += chunk
            while b"\0" in buffer:
                message, buffer = buffer.split(b"\0", 1)
                data = json.loads(message)
                with self.lock:
                    if "id" in data:
                        self.replies[data["id"]] = data
                    else:
                        self.events.append(data)
                    self.lock.notify_all()
        with self.lock:
            self.replies[None] = {"error": {"message": "the browser closed its pipe"}}
            self.lock.notify_all()

    def send(self, method, params=None, session=None, timeout=30):
        with self.lock:
            self.next_id += 1
            number = self.next_id
        message = {"id": number, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        self.writer.write(json.dumps(message).encode() + b"\0")
        self.writer.flush()
        deadline = time.time() + timeout
        with self.lock:
            while number not in self.replies and None not in self.replies:
                left = deadline - time.time()
                if left <= 0:
                    raise RuntimeError("%s: no answer from the browser" % method)
                self.lock.wait(left)
            reply = self.replies.pop(number, None) or self.replies[None]
        if "error" in reply:
            raise RuntimeError("%s: %s" % (method, reply["error"].get("message")))
        return reply.get("result", {})

    def call(self, method, params=None, timeout=30):
        return self.send(method, params, self.session, timeout)

    def evaluate(self, expression, timeout=30):
        """The value of a JavaScript expression in the page; promises are awaited."""
        result = self.call("Runtime.evaluate", {"expression": expression, "awaitPromise": True,
                                                "returnByValue": True}, timeout)
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s %s" % (expression, result["exceptionDetails"].get("text"), result["exceptionDetails"].get("exception", {}).get("description", "")))
        return result["result"].get("value")

    def wait_event(self, method, timeout=30):
        deadline = time.time() + timeout
        with self.lock:
            while True:
                for i, event in enumerate(self.events):
                    if event.get("method") == method:
                        return self.events.pop(i)
                left = deadline - time.time()
                if left <= 0:
                    raise RuntimeError("no %s from the browser" % method)
                self.lock.wait(left)

    def open(self, url):
        """Loads the page and waits for the game's first frame; its time in ms after navigation."""
        with self.lock:
            self.events = [e for e in self.events if e.get("method") != "Page.loadEventFired"]
        self.call("Page.navigate", {"url": url})
        self.wait_event("Page.loadEventFired")
        return self.evaluate(FIRST_FRAME)

    def reload(self):
        with self.lock:
            self.events = [e for e in self.events if e.get("method") != "Page.loadEventFired"]
        self.call("Page.reload")
        self.wait_event("Page.loadEventFired")
        return self.evaluate(FIRST_FRAME)

    def console_errors(self):
        """Console errors, uncaught exceptions and failed loads so far."""
        errors = []
        with self.lock:
            for event in self.events:
                method, params = event.get("method"), event.get("params", {})
                if method == "Runtime.consoleAPICalled" and params.get("type") == "error":
                    errors.append(" ".join(str(a.get("value", a.get("description"))) for a in params["args"]))
                elif method == "Runtime.exceptionThrown":
                    errors.append(params["exceptionDetails"].get("text", "exception"))
                elif method == "Log.entryAdded" and params["entry"].get("level") == "error":
                    errors.append(params["entry"].get("text", ""))
        return errors

    def canvas_rgb(self):
        """The canvas's pixels as RGB bytes, top row first, and its size."""
        value = self.evaluate("""(() => {
            const c = document.getElementById('field');
            const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            const rgb = new Uint8Array(c.width * c.height * 3);
            for (let i = 0, j = 0; i < d.length; i += 4, j += 3) {
                rgb[j] = d[i]; rgb[j + 1] = d[i + 1]; rgb[j + 2] = d[i + 2];
            }
            let text = '';
            for (let i = 0; i < rgb.length; i += 32768)
                text += String.fromCharCode.apply(null, rgb.subarray(i, i + 32768));
            return [c.width, c.height, btoa(text)];
        })()""")
        return value[0], value[1], base64.b64decode(value[2])

    KEYS = {
        "left": ("ArrowLeft", "ArrowLeft", 37), "up": ("ArrowUp", "ArrowUp", 38),
        "right": ("ArrowRight", "ArrowRight", 39), "down": ("ArrowDown", "ArrowDown", 40),
        "esc": ("Escape", "Escape", 27), "enter": ("Enter", "Enter", 13),
    }

    CTRL = 2  # the protocol's modifier bits

    def key(self, name, down, modifiers=0):
        key, code, virtual = self.KEYS.get(name) or (name, "Key" + name.upper(), ord(name.upper()))
        self.call("Input.dispatchKeyEvent", {"type": "keyDown" if down else "keyUp", "key": key, "code": code,
                                             "windowsVirtualKeyCode": virtual, "modifiers": modifiers})

    def click(self, x, y, button="left"):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, "button": button, "clickCount": 1})

    def tab(self):
        """Another page of this browser: it shares the first one's storage."""
        return Tab(self)

    def close(self):
        try:
            self.send("Browser.close", timeout=5)
        except (RuntimeError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


class Tab:
    """A second page of a Browser, driven alike through the same pipe."""
    KEYS, CTRL = Browser.KEYS, Browser.CTRL
    evaluate, key, click = Browser.evaluate, Browser.key, Browser.click

    def __init__(self, browser):
        self.browser = browser
        target = browser.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = browser.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime"):
            self.call(domain + ".enable")

    def call(self, method, params=None, timeout=30):
        return self.browser.send(method, params, self.session, timeout)

    def open(self, url):
        """Loads the page and waits for the game's first frame."""
        self.call("Page.navigate", {"url": url})
        deadline = time.time() + 20
        while self.evaluate("location.href") != url and time.time() < deadline:
            time.sleep(0.05)
        return self.evaluate(FIRST_FRAME)
