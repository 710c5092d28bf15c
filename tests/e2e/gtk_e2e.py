#!/usr/bin/env python3
"""Plays the installed Linux game under Xvfb as a player would, with xdotool,
and checks what the screen shows, what the game stored and what it played.

usage: gtk_e2e.py (--build DIR --cmake PATH | --root DIR --quick) --demo PATH --solve PATH

--build installs that build into a staging root first; --root takes a tree
already unpacked (from the Debian package), and --quick only starts the game
there, checks its first frame and ends it. The game runs through its
launcher, as the user nobody when the test runs as root, so it owns none of
the installed files.

Exit codes: 0 passed, 1 failed (a missing Xvfb, xdotool or ImageMagick too),
77 skipped (the demo player or solver not built).
"""
import argparse
import json
import os
import re
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import time

from status_texts import STATUS_TEXTS

SKIP = 77
NOBODY = 65534
FIELD = 672
CELL = 48

failures = []


def log(text):
    print(text, flush=True)


def check(ok, what):
    log(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)
    return ok


# ---- Pictures ---------------------------------------------------------------

class Picture:
    """RGB pixels, top row first, 3 bytes each."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def doubled(self):
        """Every pixel as 2 by 2, as the window shows the field at scale 2."""
        rows = []
        for y in range(self.height):
            row = self.rgb[y * self.width * 3:(y + 1) * self.width * 3]
            wide = b"".join(row[i:i + 3] * 2 for i in range(0, len(row), 3))
            rows += [wide, wide]
        return Picture(self.width * 2, self.height * 2, b"".join(rows))

    def crop(self, left, top, width, height):
        rows = []
        for y in range(top, top + height):
            i = (y * self.width + left) * 3
            rows.append(self.rgb[i:i + width * 3])
        return Picture(width, height, b"".join(rows))

    def save_ppm(self, path):
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
            f.write(self.rgb)


def read_bmp(path):
    """A 24-bit BMP (bottom-up or top-down) as a Picture."""
    data = open(path, "rb").read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    if bits != 24:
        raise ValueError("%s: %d bits per pixel" % (path, bits))
    stride = (width * 3 + 3) & ~3
    rows = []
    for r in range(abs(height)):
        src = r if height < 0 else abs(height) - 1 - r
        row = data[offset + src * stride: offset + src * stride + width * 3]
        rgb = bytearray(row)
        rgb[0::3], rgb[2::3] = row[2::3], row[0::3]  # BGR to RGB
        rows.append(bytes(rgb))
    return Picture(width, abs(height), b"".join(rows))


def read_ppm(data):
    """A binary PPM (P6, maxval 255, as ImageMagick writes it) as a Picture."""
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    width, height = int(header.group(1)), int(header.group(2))
    return Picture(width, height, data[header.end():header.end() + width * height * 3])


def differing_pixels(a, b):
    if (a.width, a.height) != (b.width, b.height):
        return a.width * a.height
    if a.rgb == b.rgb:
        return 0
    return sum(1 for i in range(0, len(a.rgb), 3) if a.rgb[i:i + 3] != b.rgb[i:i + 3])


# ---- The display and the game ------------------------------------------------

class Session:
    """The X display, the game's window and its output; the Windows build's
    test runs its own game on the same."""
    TIMEOUT, PAUSE = 15, 0.25  # seconds: a tool's longest run, and the gap after a key

    def __init__(self, args, tmp):
        self.args, self.tmp = args, tmp
        self.xvfb = self.game = self.env = self.window = None
        self.origin, self.scale = (0, 0), 1

    def start_display(self):
        read_end, write_end = os.pipe()
        # -noreset: when its last client leaves, the server resets, and a
        # client that connects meanwhile (the next game, xdotool) is refused.
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1600x1500x24", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.time() + 15
        while not number.endswith(b"\n") and time.time() < deadline:
            ready, _, _ = select.select([read_end], [], [], 0.5)
            if ready:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                number += chunk
        os.close(read_end)
        if not number.strip():
            raise RuntimeError("Xvfb did not start")
        env = dict(os.environ)
        env.update({
            "DISPLAY": ":" + number.decode().strip(),
            "HOME": os.path.join(self.tmp, "home"),
            "XDG_CONFIG_HOME": os.path.join(self.tmp, "config"),
            "XDG_DATA_HOME": os.path.join(self.tmp, "data-home"),
            "ALSOFT_CONF": os.path.join(self.tmp, "alsoft.conf"),
            "GDK_BACKEND": "x11",
            "NO_AT_BRIDGE": "1",
            "TARNO_PRINT_STATUS": "1",
            "LANG": "C.UTF-8",
        })
        for name in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "GTK_THEME", "GDK_SCALE"):
            env.pop(name, None)
        # The player's own folders; everything else is someone else's.
        for name in ("HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"):
            os.makedirs(env[name], exist_ok=True)
            if os.geteuid() == 0:
                os.chown(env[name], NOBODY, NOBODY)
        self.env = env

    def run(self, *command, timeout=None):
        result = subprocess.run(list(command), env=self.env, capture_output=True, timeout=timeout or self.TIMEOUT)
        if result.returncode != 0:
            raise RuntimeError("%s failed: %s" % (command[0], result.stderr.decode(errors="replace").strip()))
        return result.stdout.decode(errors="replace")

    def xdotool(self, *words, timeout=None):
        return self.run("xdotool", *words, timeout=timeout)

    def start_game(self, launcher):
        self.output = open(os.path.join(self.tmp, "game-output.txt"), "wb")
        player = ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups"] \
            if os.geteuid() == 0 else []
        self.game = subprocess.Popen(player + [launcher], cwd="/", env=self.env,
                                     stdout=self.output, stderr=subprocess.STDOUT)
        ids = self.xdotool("search", "--sync", "--onlyvisible", "--name", "^Tarno$", timeout=30).split()
        self.window = ids[0]
        self.focus()
        geometry = self.geometry()
        # The game says where the field sits in its window (under the menu
        # bar, above the status line).
        deadline = time.time() + 15
        while "field" not in self.said() and time.time() < deadline:
            time.sleep(0.1)
        fx, fy = (int(v) for v in self.said().get("field", "0 0").split())
        self.origin = (geometry["X"] + fx, geometry["Y"] + fy)
        self.menu_height = fy
        self.status_height = geometry["HEIGHT"] - fy - FIELD

    def geometry(self):
        geometry = {}
        for line in self.xdotool("getwindowgeometry", "--shell", self.window).splitlines():
            key, _, value = line.partition("=")
            geometry[key] = int(value) if value.lstrip("-").isdigit() else value
        return geometry

    def said(self):
        """What the game printed: its last line of each kind ("field", "status")."""
        lines = {}
        with open(os.path.join(self.tmp, "game-output.txt"), "rb") as f:
            for line in f.read().decode(errors="replace").splitlines():
                kind, _, text = line.partition(": ")
                lines[kind] = text
        return lines

    def status(self, wanted=None, timeout=10):
        """The last status line the game printed; with wanted, waits (up to
        timeout) for one that holds it."""
        deadline = time.time() + timeout
        while True:
            last = self.said().get("status", "")
            if wanted is None or wanted in last or time.time() > deadline:
                return last
            time.sleep(0.2)

    def resize(self, width, height):
        """Resizes the window; the field then sits centred between the menu bar
        and the status line, at the largest whole scale that fits, or a smooth
        one below 1."""
        self.xdotool("windowsize", "--sync", self.window, str(width), str(height))
        time.sleep(0.5)
        geometry = self.geometry()
        w, h = geometry["WIDTH"], geometry["HEIGHT"] - self.menu_height - self.status_height
        room = min(w, h)
        self.scale = room // FIELD if room >= FIELD else room / FIELD
        side = FIELD * self.scale
        self.origin = (geometry["X"] + int((w - side) // 2), geometry["Y"] + self.menu_height + int((h - side) // 2))
        return (w, h)

    def click_cell(self, cell):
        """Left-clicks the middle of a board cell where the window shows it."""
        x = self.origin[0] + int((cell[0] * CELL + CELL // 2) * self.scale)
        y = self.origin[1] + int((cell[1] * CELL + CELL // 2) * self.scale)
        # --sync waits for a move, and there is none to the pointer's own place.
        move = ["mousemove", "--sync", str(x), str(y)] if (x, y) != getattr(self, "pointer", None) else []
        self.pointer = (x, y)
        self.xdotool(*move, "click", "1")
        time.sleep(0.4)

    def focus(self):
        self.xdotool("windowfocus", "--sync", self.window)
        time.sleep(0.2)

    def screen(self):
        return read_ppm(subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
                                       capture_output=True, timeout=20, check=True).stdout)

    def field(self):
        side = int(FIELD * self.scale)
        return self.screen().crop(self.origin[0], self.origin[1], side, side)

    def hold(self, key, seconds):
        # One xdotool run, so the hold lasts what it says.
        self.xdotool("keydown", key, "sleep", "%.3f" % seconds, "keyup", key)

    def tap(self, *keys):
        for key in keys:
            self.xdotool("key", key)
            time.sleep(self.PAUSE)

    def visible_titled(self):
        return self.visible_named("^Tarno$")

    def visible_named(self, pattern):
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern], env=self.env,
                                capture_output=True, timeout=self.TIMEOUT)
        return result.stdout.split()

    def popups(self):
        """Geometry (x, y, w, h) of the game's visible windows but its main one."""
        out = self.run("xwininfo", "-root", "-children")
        found = []
        for line in out.splitlines():
            line = line.strip()
            if not line.startswith("0x") or "tarno" not in line.lower():
                continue
            geometry = line.split()[-2]  # WxH+X+Y
            size, _, pos = geometry.partition("+")
            w, h = (int(v) for v in size.split("x"))
            x, y = (int(v) for v in pos.split("+")[:2])
            if int(line.split()[0], 16) != int(self.window) and w > 20 and h > 20:
                found.append((x, y, w, h))
        return found

    def quit(self):
        """Esc ends the game with exit code 0. The game looks at the key once a
        frame, so it is held for many; a machine so busy that a frame outlasts
        the hold gets a second, longer one."""
        code = None
        for seconds in (0.3, 1.0):
            self.focus()
            self.hold("Escape", seconds)
            try:
                code = self.game.wait(timeout=15)
                break
            except subprocess.TimeoutExpired:
                log("note Esc held for %.1f s did not end the game yet" % seconds)
        check(code == 0, "Esc ends the game with exit code 0 (%s)" % code)
        check(not self.visible_titled(), "the window is gone")

    def stop(self):
        for proc in (self.game, self.xvfb):
            if proc and proc.poll() is None:
                proc.kill()
                proc.wait()


# ---- The tank on the border ring ---------------------------------------------

def ring_cells():
    """The 52 border cells clockwise from the top-left corner."""
    cells = [(x, 0) for x in range(14)]
    cells += [(13, y) for y in range(1, 14)]
    cells += [(x, 13) for x in range(12, -1, -1)]
    cells += [(0, y) for y in range(12, 0, -1)]
    return cells


RING = ring_cells()


class TankFinder:
    """Finds the resting tank by its sprites (the sheet's row 4, frames 0-3),
    drawn with black as the transparent colour."""

    def __init__(self, sheet):
        self.sprites = []
        for frame in range(4):
            left, top = 49 * frame + 1, 49 * 4 + 1
            pixels = []
            for y in range(CELL):
                for x in range(CELL):
                    p = sheet.pixel(left + x, top + y)
                    if p != (0, 0, 0):
                        pixels.append((x, y, p))
            self.sprites.append(pixels)

    def matches(self, field, cell):
        ox, oy = cell[0] * CELL, cell[1] * CELL
        for pixels in self.sprites:
            if pixels and all(field.pixel(ox + x, oy + y) == p for x, y, p in pixels):
                return True
        return False

    def find(self, field, expected=None):
        if expected and self.matches(field, expected):
            return expected
        for cell in RING:
            if self.matches(field, cell):
                return cell
        return None


def fire_position(move):
    """Where the tank fires a solution line from, and the key that fires."""
    direction, index = move.split()
    n = int(index)
    return {"right": ((0, n), "Right"), "left": ((13, n), "Left"),
            "down": ((n, 0), "Down"), "up": ((n, 13), "Up")}[direction]


# ---- The steps ---------------------------------------------------------------

def wait_settled(s, timeout=15):
    """Until nothing on the field moves: two pictures 0.2 s apart agree."""
    last = s.field()
    deadline = time.time() + timeout
    while time.time() < deadline:
        time.sleep(0.2)
        now = s.field()
        if now.rgb == last.rgb:
            return now
        last = now
    return last


# The board inside the tank's ring: (left, top, width, height).
INNER = (CELL, CELL, FIELD - 2 * CELL, FIELD - 2 * CELL)


def drive_by_click(s, finder, goal, move):
    """A click on a border cell drives the tank there: at most half the
    ring, a tenth of a second a cell."""
    s.click_cell(goal)
    time.sleep(2.6)
    reached = finder.find(wait_settled(s), goal)
    return check(reached == goal, "a click drove the tank to %s for '%s' (at %s)" % (goal, move, reached))


def demo_run(demo, data_dir, tmp, name, script):
    """The headless game's picture after a script (tarno-demo), and the state
    its last `dump` printed."""
    work = os.path.join(tmp, "demo-" + name)
    shutil.copytree(data_dir, work)
    with open(os.path.join(work, "script.demo"), "w") as f:
        f.write(script + "\nscreenshot out.bmp\n")
    env = dict(os.environ)
    env.pop("TARNO_SAVED_LEVEL", None)
    out = subprocess.run([demo, "script.demo"], cwd=work, env=env, capture_output=True, timeout=60,
                         check=True).stdout.decode()
    dumps = [line for line in out.splitlines() if line.startswith("{")]
    return read_bmp(os.path.join(work, "out.bmp")), json.loads(dumps[-1]) if dumps else {}


def demo_picture(args, data_dir, tmp, name, script):
    """The headless game's picture of the same moment."""
    return demo_run(args.demo, data_dir, tmp, name, script)[0]


def compare(picture, reference, what, region=None, dump_dir=None):
    if region:
        picture, reference = picture.crop(*region), reference.crop(*region)
    bad = differing_pixels(picture, reference)
    if bad and dump_dir:
        stem = os.path.join(dump_dir, "-".join(re.findall(r"\w+", what.lower())[:4]))
        picture.save_ppm(stem + "-seen.ppm")
        reference.save_ppm(stem + "-expected.ppm")
    return check(bad == 0, "%s (%d pixels differ)" % (what, bad))


def level_rows(s):
    """For the open Levels submenu: per item, whether its text is dark
    (enabled) rather than grey. The submenu is the tallest popup."""
    shot = s.screen()
    menus = sorted(s.popups(), key=lambda g: g[3])
    if not menus:
        return []
    return darkest_rows(shot, *menus[-1])


# The Levels submenu's height in items: the twelve levels, then a line
# (about 0.4 of an item on both desktops) and three more items.
LEVELS_MENU_ITEMS = 12 + 0.4 + 3


def darkest_rows(shot, x, y, w, h):
    """Per level of the Levels submenu at (x, y, w, h), the darkest luminance
    of its row: low for dark (enabled) text, high for grey."""
    rows = []
    item = h / LEVELS_MENU_ITEMS
    for i in range(12):
        darkest = 255
        for yy in range(int(y + i * item + 2), int(y + (i + 1) * item - 2)):
            for xx in range(x + 4, x + w - 4):
                r, g, b = shot.pixel(xx, yy)
                darkest = min(darkest, (r * 299 + g * 587 + b * 114) // 1000)
        rows.append(darkest)
    return rows


def open_levels_menu(s):
    s.tap("F10", "Down", "Down", "Right")
    time.sleep(0.3)


def wav_peak(path, start=0):
    """Largest sample magnitude (0..1) of a PCM or float WAV from byte `start`
    on, 0 if unreadable. The data runs to the end of the file whatever the
    header says: a recording may still be being written."""
    try:
        data = open(path, "rb").read()
    except OSError:
        return 0.0
    pos, fmt, bits, body = 12, None, 16, None
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        if cid == b"fmt ":
            fmt, bits = struct.unpack_from("<H", data, pos + 8)[0], struct.unpack_from("<H", data, pos + 22)[0]
            if fmt == 0xFFFE:
                fmt = struct.unpack_from("<H", data, pos + 32)[0]
        elif cid == b"data":
            body = pos + 8
            break
        pos += 8 + size + (size & 1)
    if body is None:
        return 0.0
    width = max(1, bits // 8)
    first = max(start, body)
    first += -(first - body) % width
    samples = data[first:first + (len(data) - first) // width * width]
    if not samples:
        return 0.0
    if fmt == 3 and bits == 32:
        return max(abs(v) for v in struct.unpack("<%df" % (len(samples) // 4), samples))
    if bits in (16, 32):
        code = "h" if bits == 16 else "i"
        return max(abs(v) for v in struct.unpack("<%d%s" % (len(samples) // width, code), samples)) / 2.0 ** (bits - 1)
    if bits == 8:
        return max(abs(v - 128) for v in samples) / 128.0
    return 0.0


def run_session(body, stop, tmp, what="pictures and the game's output", errors=()):
    """Runs one end-to-end session; any failure to reach its end is a failed
    check. Returns the exit status and keeps `tmp` only when a check failed."""
    try:
        body()
    except (RuntimeError, subprocess.SubprocessError, OSError, ValueError) + tuple(errors) as error:
        check(False, "the session ran to its end: %s" % error)
    finally:
        stop()
    if failures:
        log("%s are in %s" % (what, tmp))
        return 1
    shutil.rmtree(tmp, ignore_errors=True)
    return 0


def install(args, tmp):
    """The staging root: the build installed under /usr, or the unpacked tree."""
    if args.root:
        return args.root
    stage = os.path.join(tmp, "stage")
    env = dict(os.environ, DESTDIR=stage)
    result = subprocess.run([args.cmake, "--install", args.build, "--prefix", "/usr"], env=env,
                            capture_output=True, timeout=120)
    if result.returncode != 0:
        raise RuntimeError("cmake --install failed: %s" % result.stdout.decode(errors="replace")[-2000:])
    return stage


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build")
    parser.add_argument("--cmake")
    parser.add_argument("--root")
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--demo", required=True)
    parser.add_argument("--solve", required=True)
    args = parser.parse_args()

    for tool in ("Xvfb", "xdotool", "import", "xwininfo"):
        if not shutil.which(tool):
            log("FAIL %s is not installed (make deps-test installs it)" % tool)
            return 1
    for tool in (args.demo, args.solve):
        if not os.access(tool, os.X_OK):
            log("skipped: %s has not been built" % tool)
            return SKIP

    tmp = tempfile.mkdtemp(prefix="tarno-e2e-")
    os.chmod(tmp, 0o755)
    try:
        root = install(args, tmp)
    except (RuntimeError, subprocess.SubprocessError) as error:
        log("FAIL %s" % error)
        return 1
    shared = os.path.join(root, "usr", "share", "tarno")
    # The data is part of every build: its absence is a fault, not a reason to skip.
    for name in ("pieces.bmp", "level1.dat", "level2.dat"):
        if not os.path.exists(os.path.join(shared, name)):
            log("FAIL %s is not installed" % name)
            return 1
    data_dir = os.path.join(tmp, "data")
    shutil.copytree(shared, data_dir)
    sound_dir = os.path.join(tmp, "sound")
    os.makedirs(sound_dir)
    if os.geteuid() == 0:
        os.chown(sound_dir, NOBODY, NOBODY)
    wave_file = os.path.join(sound_dir, "mixed.wav")
    with open(os.path.join(tmp, "alsoft.conf"), "w") as f:
        f.write("[general]\ndrivers = wave\nchannels = mono\nsample-type = int16\n[wave]\nfile = %s\n" % wave_file)
    progress = os.path.join(tmp, "config", "tarno", "level")

    s = Session(args, tmp)

    def session():
        s.start_display()
        # Under /usr the launcher is where Debian keeps games.
        launcher = os.path.join(root, "usr", "games", "tarno")
        if not os.path.exists(launcher):
            launcher = os.path.join(root, "usr", "bin", "tarno")
        if args.quick:
            s.start_game(launcher)
            start_only(s, args, tmp, data_dir)
        else:
            status_samples(s, launcher, tmp)
            s.start_game(launcher)
            play(s, args, tmp, data_dir, progress, wave_file)

    return run_session(session, s.stop, tmp)


def status_samples(s, launcher, tmp):
    """Every kind of status text at its longest, in the window as it first
    opens (672 px wide): two lines hold each, so none is cut and the field
    never moves for one."""
    samples = os.path.join(tmp, "status-samples.txt")
    with open(samples, "w") as f:
        f.write("".join(text + "\n" for text in STATUS_TEXTS))
    s.env["TARNO_STATUS_SAMPLES"] = samples
    try:
        s.start_game(launcher)
        deadline = time.time() + 30
        while s.said().get("samples") != "done" and time.time() < deadline:
            time.sleep(0.2)
        lines, sample, width = {}, None, None
        with open(os.path.join(tmp, "game-output.txt"), "rb") as f:
            for line in f.read().decode(errors="replace").splitlines():
                kind, _, text = line.partition(": ")
                if kind == "sample":
                    sample = text
                elif kind == "status lines" and sample is not None:
                    lines[sample] = int(text.split()[0])
                    width = text.split(" in ")[1]
        check(set(lines) == set(STATUS_TEXTS), "every status sample was shown (%d of %d)" % (len(lines),
                                                                                            len(STATUS_TEXTS)))
        over = {text: n for text, n in lines.items() if n > 2}
        check(not over, "at the window's first width (%s) two lines hold every status text: %s" % (width, over))
        s.quit()
    finally:
        del s.env["TARNO_STATUS_SAMPLES"]


def start_only(s, args, tmp, data_dir):
    first = demo_picture(args, data_dir, tmp, "first", "wait 1")
    time.sleep(0.5)
    compare(wait_settled(s), first, "first frame of level 1 matches the headless picture", dump_dir=tmp)
    check(not s.popups(), "no message box at the start")
    s.quit()


def edit_in_scaled_window(s, args, tmp, data_dir):
    """The editor in a resized window: at 1450 by 1450 the field is shown at
    twice its size, pixel for pixel; at 400 by 400 it is squeezed, and in
    both a click reaches the cell under the pointer. D then S saves the
    board in the player's own data folder."""
    s.hold("d", 0.1)
    time.sleep(0.3)
    room = s.resize(1450, 1450)
    check(s.scale == 2, "at 1450 by 1450 the field is shown at scale 2 (room %s)" % (room,))
    s.click_cell((3, 4))
    blank = "keys d\nwait 2\nkeys\nwait 2\n"
    one = demo_picture(args, data_dir, tmp, "edit-one", blank + "click left 168 216\nwait 12")
    compare(wait_settled(s), one.doubled(), "the editor at scale 2 matches the headless picture doubled",
            dump_dir=tmp)
    room = s.resize(400, 400)
    check(0 < s.scale < 1, "at 400 by 400 the field is squeezed (scale %.3f)" % s.scale)
    s.click_cell((10, 7))
    s.resize(1450, 1450)
    two = demo_picture(args, data_dir, tmp, "edit-two", blank + "click left 168 216\nwait 12\n"
                       "click left 504 360\nwait 12")
    compare(wait_settled(s), two.doubled(), "a click in the squeezed field reached its cell", dump_dir=tmp)
    s.hold("s", 0.1)
    time.sleep(0.5)
    saved = os.path.join(s.env["XDG_DATA_HOME"], "tarno", "level.dat")
    data = open(saved, "rb").read() if os.path.exists(saved) else b""
    check(len(data) == 300 and data[3 * 14 + 4] == 16 and data[10 * 14 + 7] == 16,
          "S saved the edited board as level.dat in the player's data folder (%d bytes)" % len(data))
    s.hold("Return", 0.1)


def play(s, args, tmp, data_dir, progress, wave_file):
    finder = TankFinder(read_bmp(os.path.join(data_dir, "pieces.bmp")))

    # The first frame of level 1, as the headless game draws it.
    first = demo_picture(args, data_dir, tmp, "first", "wait 1")
    time.sleep(0.3)
    compare(s.field(), first, "first frame of level 1 matches the headless picture", dump_dir=tmp)
    check(not os.path.exists(progress), "no progress file before a win")
    tip = "Arrow keys or a click on the border drive, a click on the tank fires"
    check(s.said().get("tip") == tip, "a first-time player sees the tip under the status (%r)" % s.said().get("tip"))

    # The File menu, its Levels submenu: only "Level 1" can be chosen.
    open_levels_menu(s)
    rows = level_rows(s)
    check(len(rows) == 12 and all(r > 110 for r in rows[1:]), "Levels 2-12 are greyed at the start %s" % rows)
    s.tap("Return")  # "Level 1": starts it again
    s.focus()

    # The tank moves along the border: one cell down the left column.
    s.hold("Down", 0.05)
    time.sleep(0.3)
    where = finder.find(wait_settled(s))
    check(where is not None and where[0] == 0 and where[1] >= 1, "the tank moved down the left column (at %s)" % (where,))

    # Win level 1 by the mouse alone, playing the solver's shortest solution:
    # a click on a border cell drives the tank there, a click on it fires.
    out = subprocess.run([args.solve, os.path.join(data_dir, "level1.dat")], capture_output=True, timeout=120,
                         check=True).stdout.decode()
    moves = [line.strip() for line in out.splitlines() if line.split()[:1] in (["left"], ["right"], ["up"], ["down"])]
    check(bool(moves), "the solver found a solution for level 1 (%d shots)" % len(moves))
    for number, move in enumerate(moves):
        goal, _ = fire_position(move)
        if not drive_by_click(s, finder, goal, move):
            return
        board_before = wait_settled(s).crop(*INNER)
        s.click_cell(goal)
        after = wait_settled(s).crop(*INNER)
        if number == 0:
            check(after.rgb != board_before.rgb, "a click on the tank fired: the first shot changed the board")
            check(s.said().get("tip") == "none" and os.path.exists(os.path.join(os.path.dirname(progress), "shot")),
                  "the tip goes with the first shot, for good (%r)" % s.said().get("tip"))
    time.sleep(1.5)  # the banner comes a second after the win
    script = subprocess.run([args.solve, "--demo", os.path.join(data_dir, "level1.dat")], capture_output=True,
                            timeout=120, check=True).stdout.decode()
    won = demo_picture(args, data_dir, tmp, "won", script + "\nwait 90")
    compare(s.field(), won, "board and banner after the win match the headless picture", region=INNER, dump_dir=tmp)
    stored = open(progress, "rb").read() if os.path.exists(progress) else b""
    check(stored == b"\x02", "the progress file holds level 2 (%r)" % stored)
    records = os.path.join(s.env["XDG_DATA_HOME"], "tarno", "records")
    kept = open(records, "rb").read() if os.path.exists(records) else b""
    check(kept == b"tarno records 1\nlevel 1 4 par\n", "the records file holds level 1 won in 4 (%r)" % kept)

    # After the win: Undo is greyed, the way on is a button of its own, and
    # Edit -> Copy level code and Edit -> Share this level say what they
    # copied (the keys pass over the greyed Undo and Redo).
    said = s.said()
    check(said.get("offered") == "Undo 0", "Undo is greyed after the win (%r)" % said.get("offered"))
    shown = re.match(r"Next level at (\d+) (\d+)$", said.get("next", ""))
    check(shown is not None, "the Next level button shows after the win (%r)" % said.get("next"))
    s.tap("F10", "Right", "Down", "Down", "Return")
    check("Level code copied: " in s.status("copied"), "Copy level code tells it (%r)" % s.status())
    s.tap("F10", "Right", "Down", "Down", "Down", "Return")
    check("Copied: tarno --code " in s.status("tarno"), "Share this level tells it (%r)" % s.status())
    time.sleep(0.5)
    lines = s.said().get("status lines", "")
    check(re.match(r"[12] in 6[5-7]\d px$", lines) is not None,
          "in a window 672 px wide two lines hold the longest status (%s)" % lines)
    if shown:
        geometry = s.geometry()
        s.xdotool("mousemove", "--sync", str(geometry["X"] + int(shown.group(1))),
                  str(geometry["Y"] + int(shown.group(2))), "click", "1")
        s.pointer = None
        check(s.status("Level 2").startswith("Level 2: Behind Walls   Shots 0"),
              "the Next level button starts level 2 (%r)" % s.status())
        time.sleep(0.5)
        check(s.said().get("next") == "none", "and goes away (%r)" % s.said().get("next"))
    s.focus()

    # "Level 2" can now be chosen from the menu, and starts level 2.
    open_levels_menu(s)
    rows = level_rows(s)
    check(len(rows) == 12 and rows[1] < 110 and all(r > 110 for r in rows[2:]),
          "Level 2 is selectable after the win, 3-12 still greyed %s" % rows)
    s.tap("Down", "Return")
    s.focus()
    second = demo_picture(args, data_dir, tmp, "second", "level 2\nwait 1")
    time.sleep(0.3)
    compare(wait_settled(s), second, "choosing Level 2 starts level 2", dump_dir=tmp)

    check(s.status("Level 2").startswith("Level 2: Behind Walls   Shots 0, par 5"), "the status line names level 2 (%r)" % s.status())

    # One shot, then Ctrl+Z, the Edit menu's accelerator, takes it back.
    before = wait_settled(s)
    s.hold("Right", 0.05)
    time.sleep(0.3)
    s.hold("Down", 0.1)
    time.sleep(1.5)
    check("Shots 1" in s.status("Shots 1"), "a shot is counted in the status line (%r)" % s.status())
    s.tap("ctrl+z")
    time.sleep(0.5)
    check("Shots 0" in s.status("Shots 0"), "Ctrl+Z takes the shot back (%r)" % s.status())
    compare(wait_settled(s), before, "after Ctrl+Z the board is as before the shot", region=INNER, dump_dir=tmp)

    # The About dialog: a second window titled Tarno, closed by its OK.
    s.tap("F10", "Right", "Right", "Right", "Down", "Return")
    time.sleep(0.5)
    check(len(s.visible_titled()) == 2, "About opens a second window titled Tarno")
    s.tap("Return")
    time.sleep(0.3)
    check(len(s.visible_titled()) == 1, "OK closes the About dialog")

    s.focus()
    edit_in_scaled_window(s, args, tmp, data_dir)
    s.quit()

    # The shots were heard: the recording holds sound, not silence.
    if os.path.exists(os.path.join(data_dir, "shot.wav")):
        peak = wav_peak(wave_file)
        check(peak > 0.02, "the mixed sound is not silent (peak %.3f)" % peak)
    else:
        log("skip the sound was not checked: no sounds have been built")


if __name__ == "__main__":
    sys.exit(main())
