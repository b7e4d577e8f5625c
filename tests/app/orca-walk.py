#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Walks through the panel with the keyboard while Orca runs, and checks what Orca says.

Run by screen-reader-check inside a session bus on a virtual X server. Starts the accessibility bus, the
panel on the virtual amplifier and Orca with its debug log and fresh settings (speech goes nowhere: the log
still has every line Orca speaks, as "SPEECH OUTPUT"), then presses the keys of orca-walk.expected and waits
for each line it expects there. Fails naming the first line Orca did not say, with all that it said.
Exits 77 (skipped) when Orca or xdotool is missing, or Orca already runs for this user.
"""

import json
import os
import re
import shutil
import signal
import subprocess
import sys
import threading
import time
import tty

import pyatspi

from panel_on_bus import walk_arguments

HERE = os.path.dirname(os.path.abspath(__file__))
EXPECTED = os.path.join(HERE, "orca-walk.expected")
START_S = 60     # the panel's first synchronisation, Orca's start
LINE_S = 20      # one expected line after its keys
PRESS_S = 3      # Orca's answer to one press of a repeated key
MAX_PRESSES = 40
SPOKEN = re.compile(r" - SPEECH OUTPUT: '(.*?)'(?: voice=\S+)? ?\{")


def wait_for(what, condition, deadline):
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        found = condition()
        if found:
            return found
        time.sleep(0.1)
    raise Failure(f"{what} within {deadline} s")


class Failure(Exception):
    pass


class OrcaLog:
    """Orca's debug log as it comes, and the lines Orca has spoken so far.

    Orca writes its debug log through a buffer that it flushes only when full, unless the file is a
    terminal: it gets a pseudo-terminal, which a thread reads into the log file as it comes."""

    def __init__(self, path):
        self.path = path
        self._lines = []
        self._lock = threading.Lock()
        self._master, slave = os.openpty()
        tty.setraw(slave)  # no line endings turned into "\r\n"
        self.terminal = os.ttyname(slave)
        self._slave = slave
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        pending = b""
        with open(self.path, "wb") as log:
            while True:
                try:
                    chunk = os.read(self._master, 65536)
                except OSError:
                    break
                if not chunk:
                    break
                log.write(chunk)
                pending += chunk
                *complete, pending = pending.split(b"\n")
                said = [m.group(1) for m in map(SPOKEN.search, (c.decode("utf-8", "replace") for c in complete))
                        if m]
                if said:
                    with self._lock:
                        self._lines += said

    def spoken(self):
        with self._lock:
            return list(self._lines)

    def close(self):
        os.close(self._slave)
        self._reader.join(timeout=5)
        os.close(self._master)


def read_walk():
    steps = []
    with open(EXPECTED, encoding="utf-8") as fixture:
        for number, line in enumerate(fixture, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            keys, sep, expected = line.partition(" => ")
            if not sep:
                sys.exit(f"{EXPECTED}:{number}: no ' => ' in {line!r}")
            steps.append((number, keys.strip(), re.compile(expected.strip())))
    return steps


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=30, stdout=subprocess.DEVNULL)


def main_frame():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "varnoth" and app.childCount:
            return app.getChildAtIndex(0)
    return None


def give_focus(main_window):
    """Gives the main window the keyboard, as a window manager does, until it says it is active. The focus
    goes to the root window first: the window learns of the keyboard only when it comes (a modal dialog
    may have held it when the keyboard came before)."""
    root = re.search(r"Window id: (0x[0-9a-f]+)", subprocess.run(["xwininfo", "-root"], capture_output=True,
                                                                  text=True, check=True).stdout).group(1)

    def active():
        xdotool("windowfocus", root)
        xdotool("windowfocus", "--sync", main_window)
        time.sleep(0.3)
        frame = main_frame()
        return frame is not None and frame.getState().contains(pyatspi.STATE_ACTIVE)

    wait_for("the main window to become active", active, START_S)


def write_settings(prefs):
    """Orca's default settings, but no speech server (the debug log is the output), no braille, no key echo."""
    from orca import settings as defaults

    general = {name: getattr(defaults, name) for name in defaults.userCustomizableSettings}
    general.update(speechServerFactory="", enableBraille=False, enableKeyEcho=False, enableSound=False)
    settings = {"general": general, "pronunciations": {}, "keybindings": {},
                "profiles": {"default": {"profile": ["Default", "default"], "pronunciations": {},
                                         "keybindings": {}}}}
    os.makedirs(prefs, exist_ok=True)
    with open(os.path.join(prefs, "user-settings.conf"), "w", encoding="utf-8") as out:
        json.dump(settings, out, indent=1)


def stop(process, name):
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        print(f"{name} did not end on SIGTERM: killed")
        process.kill()
        process.wait()


def walk(log, main_window):
    steps = read_walk()
    heard = 0  # lines of the log already matched or passed
    for number, keys, expected in steps:
        repeat = keys.endswith("*")
        presses = [] if keys == "-" else keys.rstrip("*").split()
        if keys == "focus":
            presses = []
            give_focus(main_window)

        def match_from(start):
            lines = log.spoken()
            for i in range(start, len(lines)):
                if expected.search(lines[i]):
                    return i + 1
            return None

        if repeat:
            found = None
            for _ in range(MAX_PRESSES):
                before = len(log.spoken())
                for key in presses:
                    xdotool("key", key)
                try:
                    wait_for("an answer", lambda: len(log.spoken()) > before, PRESS_S)
                except Failure:
                    pass
                time.sleep(0.3)
                found = match_from(max(heard, before))
                if found:
                    break
        else:
            before = len(log.spoken())
            for key in presses:
                xdotool("key", key)
            try:
                found = wait_for("", lambda: match_from(heard if not presses else max(heard, before)), LINE_S)
            except Failure:
                found = None
        if not found:
            said = log.spoken()[heard:]
            raise Failure(f"line {number} of {os.path.basename(EXPECTED)}: after {keys!r} Orca did not say "
                          f"/{expected.pattern}/; it said since the line before:\n  "
                          + "\n  ".join(repr(s) for s in said))
        heard = found
        print(f"ok  {keys:13} => {log.spoken()[found - 1]!r}")


def main():
    args = walk_arguments()

    for tool in ("orca", "xdotool"):
        if shutil.which(tool) is None:
            print(f"skipped: {tool} is not installed (tools/setup installs it)")
            return 77

    # Orca runs once per user: it refuses to start beside another (a user's own, or another walk's).
    if subprocess.run(["pgrep", "-u", str(os.getuid()), "-x", "orca"], stdout=subprocess.DEVNULL).returncode == 0:
        print("skipped: another Orca runs for this user, and Orca starts only once")
        return 77

    log = OrcaLog(os.path.join(args.work, "orca-debug.log"))
    prefs = os.path.join(args.work, "orca")
    write_settings(prefs)
    trace_path = os.path.join(args.work, "trace.log")
    bus = subprocess.Popen([args.launcher, "--launch-immediately"], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    panel = orca = None
    try:
        env = dict(os.environ, LANG="C.UTF-8")
        env.pop("LANGUAGE", None)
        with open(trace_path, "w") as trace:
            panel = subprocess.Popen([args.varnoth, "--simulate", "--trace"], stdout=subprocess.DEVNULL,
                                     stderr=trace, env=env)
        wait_for("the first synchronisation", lambda: ">Write" in open(trace_path).read(), START_S)
        found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Varnoth"],
                               capture_output=True, text=True, timeout=START_S, check=True)
        main_window = found.stdout.split()[0]
        # No window manager gives the window the keyboard: the walk does, as one would.
        give_focus(main_window)
        with open(os.path.join(args.work, "orca.out"), "w") as out:
            orca = subprocess.Popen(["orca", "--user-prefs", prefs, "--disable", "braille", "--debug",
                                     "--debug-file", log.terminal], stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=subprocess.STDOUT, env=env)
        wait_for("Orca to say it is on", lambda: "Screen reader on." in log.spoken()
                 or orca.poll() is not None, START_S)
        if orca.poll() is not None:
            raise Failure("Orca ended at once: " + open(os.path.join(args.work, "orca.out")).read())
        walk(log, main_window)
    except Failure as failure:
        print(f"FAIL: {failure}")
        if orca is not None and orca.poll() is not None:
            print("Orca's output:\n" + open(os.path.join(args.work, "orca.out")).read())
        return 1
    finally:
        # Orca takes a signal when an event wakes it next: the panel closing sends many.
        if orca is not None and orca.poll() is None:
            orca.terminate()
        stop(panel, "the panel")
        stop(orca, "Orca")
        stop(bus, "the accessibility bus")
        log.close()
    return 0


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(main())
