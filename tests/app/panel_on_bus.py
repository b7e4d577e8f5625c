# SPDX-License-Identifier: GPL-3.0-or-later
"""The panel on an accessibility bus, for the walks that screen-reader-check runs.

Starts the accessibility bus and the panel (on the virtual amplifier, tracing what it sends into a file),
finds the panel's main window over AT-SPI once the first synchronisation has gone out, and stops both.
"""

import argparse
import contextlib
import os
import subprocess
import sys
import time

import pyatspi

DEADLINE_S = 60
# A panel built with sanitizers, started with a fresh home among other tests, can take a while to show.
START_DEADLINE_S = 180
# A register write in the trace (report ID 2, opcode 9); the level poll's reads are other lines.
REGISTER_WRITE = ">Write: 2 9 "


def walk_arguments():
    """The arguments screen-reader-check gives every walk: the bus launcher, a work folder and the panel."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--launcher", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("varnoth")
    return parser.parse_args()


def wait_until(condition, deadline=DEADLINE_S):
    """What the condition returns once it holds, or None when the deadline passes first."""
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        found = condition()
        if found:
            return found
        time.sleep(0.2)
    return None


def wait_for(what, condition, deadline=DEADLINE_S):
    found = wait_until(condition, deadline)
    if not found:
        sys.exit(f"FAIL: {what} within {deadline} s")
    return found


def find_app(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    return None


def walk(node, depth=0, out=None):
    out = [] if out is None else out
    out.append((depth, node))
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            walk(child, depth + 1, out)
    return out


class Panel:
    """The running panel: its process, its trace file and its main window's accessible."""

    def __init__(self, process, trace_path, app, window):
        self.process = process
        self.trace_path = trace_path
        self.app = app
        self.window = window

    def trace(self):
        with open(self.trace_path, errors="replace") as trace:
            return trace.read()


@contextlib.contextmanager
def panel_on_bus(launcher, work, varnoth, *panel_args):
    bus = subprocess.Popen([launcher, "--launch-immediately"], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    trace_path = os.path.join(work, "trace.log")
    with open(trace_path, "w") as trace:
        process = subprocess.Popen([varnoth, "--simulate", "--trace", *panel_args], stdout=subprocess.DEVNULL,
                                   stderr=trace)
    try:
        app = wait_until(lambda: find_app("varnoth"), START_DEADLINE_S)
        if app is None:
            ended = process.poll()
            with open(trace_path, errors="replace") as trace:
                said = trace.read()[-4000:]
            sys.exit(f"FAIL: the panel on the accessibility bus within {START_DEADLINE_S} s; the panel "
                     f"{'ended with status ' + str(ended) if ended is not None else 'still runs'}, its trace ends:\n"
                     f"{said}")
        window = wait_for("the main window", lambda: app.getChildAtIndex(0) if app.childCount else None)
        # The first synchronisation fills the sliders.
        wait_for("the first synchronisation", lambda: ">Write" in open(trace_path).read())
        yield Panel(process, trace_path, app, window)
    finally:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
        bus.terminate()
        bus.wait()
