#!/usr/bin/env python3
"""Installs tarno-setup.exe under Wine as a new player would, plays nothing
but looks at the installed game's window, uninstalls it, and checks what
stays behind: the player's progress only, and with /REMOVEPROGRESS not even
that.

usage: wine_setup.py --setup EXE --zip ZIP

Runs inside wine-tests.sh's setup step: DISPLAY, a fresh WINEPREFIX and a
running Wine server come from there. --zip is the archive built beside the
installer: both ship the same files. Prints the installer's size and the
installed size. Exit codes: 0 passed, 1 failed.
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

# The Windows game's session, on the Linux test's; no byte code is left in
# the source tree.
sys.dont_write_bytecode = True
from wine_game import Session  # noqa: E402
from gtk_e2e import check, failures, log  # noqa: E402

UNINSTALL_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarno"
PROGRESS_KEY = "HKCU\\Software\\Tarno"


def run(*command, timeout=120, cwd=None):
    result = subprocess.run(list(command), capture_output=True, timeout=timeout, cwd=cwd)
    return result.returncode, result.stdout.decode(errors="replace")


def windows_path(variable):
    return run("wine", "cmd", "/c", "echo", "%" + variable + "%")[1].strip()


def unix_path(path):
    return run("winepath", "-u", path)[1].strip()


def registry(key):
    """The values under key as {name: text}, or None when the key is absent."""
    code, out = run("wine", "reg", "query", key)
    if code != 0:
        return None
    values = {}
    for line in out.splitlines():
        found = re.match(r"\s+(\S+)\s+(REG_\w+)\s+(.*)$", line)
        if found:
            values[found.group(1)] = found.group(3).strip()
    return values


def read_shortcut(path):
    """The string fields of a shell link (.lnk): name, relative path, working
    folder, arguments and icon, those the link holds (some writers count a
    closing null in)."""
    data = open(path, "rb").read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    pos = 0x4C
    if flags & 0x1:  # an item id list
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    if flags & 0x2:  # a link info block
        pos += struct.unpack_from("<I", data, pos)[0]
    fields = {}
    for bit, name in ((0x4, "name"), (0x8, "relative"), (0x10, "workdir"), (0x20, "args"), (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, pos)[0]
            if flags & 0x80:
                fields[name] = data[pos + 2:pos + 2 + 2 * count].decode("utf-16-le").rstrip("\0")
                pos += 2 + 2 * count
            else:
                fields[name] = data[pos + 2:pos + 2 + count].decode("latin-1").rstrip("\0")
                pos += 2 + count
    return fields


def wait_until(condition, timeout):
    """The uninstaller copies itself away and returns at once: its work is
    done when what it removes is gone."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        if condition():
            return True
        time.sleep(0.5)
    return condition()


def tarno_paths(root):
    """Every path under root whose name mentions the game."""
    found = []
    for folder, dirs, files in os.walk(root):
        found += [os.path.join(folder, n) for n in dirs + files if "tarno" in n.lower()]
    return found


def see_window(exe, workdir):
    """Starts the installed game as its shortcut would and waits for its
    window; Esc ends it."""
    s = Session(None, tempfile.mkdtemp(prefix="setup-"))
    try:
        s.start(exe, workdir)
        s.quit()
    except (RuntimeError, subprocess.SubprocessError) as error:
        check(False, "the installed game opens its window titled Tarno: %s" % error)
    finally:
        s.stop()
    # The status line names level 1: the game found its data in the working folder.
    check(s.status().startswith("Level 1: "), "the game played level 1 from its folder (%r)" % s.status())
    shutil.rmtree(s.tmp, ignore_errors=True)


def uninstall_while_playing(exe, workdir, install_dir, pictures):
    """With the game open, the uninstaller asks for it to be closed first
    (a small box, not its own window); turned down, it leaves every file."""
    before = sorted(os.listdir(install_dir))
    s = Session(None, tempfile.mkdtemp(prefix="setup-open-"))
    try:
        s.start(exe, workdir)
        asker = subprocess.Popen(["wine", os.path.join(install_dir, "uninstall.exe")], stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        found = s.run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^Tarno Uninstall", timeout=90).split()
        asked = s.xdotool("getwindowgeometry", "--shell", found[0])
        height = int(re.search(r"HEIGHT=(\d+)", asked).group(1))
        time.sleep(0.5)
        subprocess.run(["import", "-window", "root", os.path.join(pictures, "uninstall-while-playing.png")],
                       env=s.env, timeout=30)
        check(height < 250, "with the game open the uninstaller asks for it to be closed (a box %d px high, "
              "picture in %s)" % (height, pictures))
        s.xdotool("windowfocus", "--sync", found[0])
        s.xdotool("key", "Escape")
        asker.wait(timeout=60)
        still = lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tarno Uninstall"],
                                       capture_output=True, timeout=30).stdout.split()
        check(wait_until(lambda: not still(), 30), "Cancel closes the request")
        check(sorted(os.listdir(install_dir)) == before and registry(UNINSTALL_KEY) is not None,
              "turned down, the uninstaller leaves every file and its key")
        # The request box came and went over the game: find its window again
        # before the Esc that ends it (the id found at the start may be gone).
        if s.game.poll() is None:
            s.window = s.run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^Tarno$",
                             timeout=30).split()[0]
            s.quit()
    except (RuntimeError, subprocess.SubprocessError, AttributeError, IndexError) as error:
        check(False, "the uninstaller asks for the open game to be closed: %s" % error)
    finally:
        s.stop()
    shutil.rmtree(s.tmp, ignore_errors=True)


def install(setup):
    code, out = run("wine", setup, "/S")
    check(code == 0, "tarno-setup.exe /S ends with status 0 (%d) %s" % (code, out[-300:]))


def uninstall(install_dir, *switches):
    code, out = run("wine", os.path.join(install_dir, "uninstall.exe"), "/S", *switches)
    check(code == 0, "uninstall.exe /S %s starts (%d) %s" % (" ".join(switches), code, out[-300:]))
    check(wait_until(lambda: registry(UNINSTALL_KEY) is None and not os.path.exists(install_dir), 90),
          "the uninstaller removes the game's folder and its uninstall key")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--setup", required=True)
    parser.add_argument("--zip", required=True)
    args = parser.parse_args()
    drive = os.path.join(os.environ["WINEPREFIX"], "drive_c")

    # 1. A silent install, as a user without administrator rights.
    install(args.setup)

    # 2. The game, the shortcut and the uninstall key.
    install_win = windows_path("LOCALAPPDATA") + "\\Programs\\Tarno"
    install_dir = unix_path(install_win)
    with zipfile.ZipFile(args.zip) as archive:
        shipped = [os.path.basename(n) for n in archive.namelist() if not n.endswith("/")]
    present = sorted(os.listdir(install_dir)) if os.path.isdir(install_dir) else []
    check(present == sorted(shipped + ["uninstall.exe"]),
          "the game's folder holds the zip's files and the uninstaller (%s)" % present)
    shortcut = unix_path(windows_path("APPDATA") + "\\Microsoft\\Windows\\Start Menu\\Programs\\Tarno.lnk")
    link = read_shortcut(shortcut) if os.path.exists(shortcut) else {}
    exe_win = install_win + "\\tarno.exe"
    check(link.get("workdir", "").lower() == install_win.lower(),
          "the Start-menu shortcut runs in the game's folder (%s)" % link)
    check(link.get("icon", "").lower() == exe_win.lower(), "the shortcut shows the game's icon (%s)" % link)
    key = registry(UNINSTALL_KEY) or {}
    installed_kib = sum(os.path.getsize(os.path.join(install_dir, n)) for n in present) // 1024
    check(key.get("DisplayName") == "Tarno" and key.get("Publisher") == "The Tarno developers"
          and re.fullmatch(r"\d+(\.\d+)+", key.get("DisplayVersion", "")) is not None
          and key.get("DisplayIcon", "").lower().startswith(exe_win.lower())
          and "uninstall.exe" in key.get("UninstallString", "")
          and abs(int(key.get("EstimatedSize", "0"), 16) - installed_kib) <= 16,
          "the uninstall key names the game, its version, publisher, icon and size (%s)" % key)
    log("the installer: %d bytes; installed: %d files, %d KiB" % (os.path.getsize(args.setup), len(present),
                                                                   installed_kib))

    # 3. The installed game, started as the shortcut starts it.
    if os.path.isdir(install_dir):
        see_window(unix_path(exe_win), unix_path(link.get("workdir", install_win)))

    # The uninstaller while the game is open.
    if os.path.isdir(install_dir):
        uninstall_while_playing(unix_path(exe_win), unix_path(link.get("workdir", install_win)), install_dir,
                                os.path.dirname(os.path.abspath(args.setup)))

    # 4. Silent uninstall, with progress saved beforehand.
    check(run("wine", "reg", "add", PROGRESS_KEY, "/v", "Level", "/t", "REG_BINARY", "/d", "07", "/f")[0] == 0,
          "progress set to level 7")
    uninstall(install_dir)

    # 5. Nothing left but the progress.
    check(not tarno_paths(drive), "no file of the game is left (%s)" % tarno_paths(drive))
    check(not os.path.exists(shortcut), "the shortcut is gone")
    check((registry(PROGRESS_KEY) or {}).get("Level") == "07", "the progress stays in the registry")

    # Asked to, the uninstaller takes the progress too.
    install(args.setup)
    uninstall(install_dir, "/REMOVEPROGRESS")
    check(registry(PROGRESS_KEY) is None, "/REMOVEPROGRESS removes the progress")
    check(not tarno_paths(drive), "and no file of the game is left (%s)" % tarno_paths(drive))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
