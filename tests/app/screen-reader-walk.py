#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Walks the panel's accessibility tree over AT-SPI, as a screen reader does, inside a session bus.

Starts the accessibility bus and the panel (on the virtual amplifier, tracing what it sends), lists every
control with its role, name and value, checks that every focusable control has a name, that every slider
speaks a number, that the view buttons tell which of them is checked, that each effect's sliders lie in its
group,
and sets the mic gain slider's value through the Value interface: the panel must write it to the amplifier.
"""

import sys

import pyatspi

from panel_on_bus import REGISTER_WRITE, panel_on_bus, wait_for, wait_until, walk, walk_arguments


def value_of(node):
    try:
        return node.queryValue()
    except NotImplementedError:
        return None


def describe(node):
    role = node.getRoleName()
    line = f"{role} \"{node.name}\""
    value = value_of(node)
    if value is not None:
        line += f" = {value.currentValue:g} [{value.minimumValue:g} .. {value.maximumValue:g}]"
    if node.description:
        line += f" ({node.description})"
    states = node.getState()
    marks = [name for state, name in ((pyatspi.STATE_CHECKABLE, "checkable"), (pyatspi.STATE_CHECKED, "checked"),
                                      (pyatspi.STATE_PRESSED, "pressed")) if states.contains(state)]
    if marks:
        line += " [" + ", ".join(marks) + "]"
    return line


def sliders_named(window):
    """Whether the window's tree is filled in: its showing sliders are there and each has its name."""
    sliders = [n for _, n in walk(window)
               if n.getRole() == pyatspi.ROLE_SLIDER and n.getState().contains(pyatspi.STATE_SHOWING)]
    return len(sliders) >= 28 and all(n.name.strip() for n in sliders)


def main():
    args = walk_arguments()

    failures = []
    with panel_on_bus(args.launcher, args.work, args.varnoth) as panel:
        window = panel.window
        trace_path = panel.trace_path
        # What is still missing when the deadline passes is reported below.
        wait_until(lambda: sliders_named(window))
        print(f"window: {describe(window)}")
        if window.getRole() == pyatspi.ROLE_DIALOG:
            failures.append("the main window says it is a dialog")

        nodes = walk(window)
        focusable = [n for _, n in nodes if n.getState().contains(pyatspi.STATE_FOCUSABLE)
                     and n.getState().contains(pyatspi.STATE_SHOWING)]
        for depth, node in nodes:
            print("  " * depth + describe(node))
        unnamed = [describe(n) for n in focusable if not n.name.strip()]
        sliders = [n for n in focusable if n.getRole() == pyatspi.ROLE_SLIDER]
        named_sliders = [n for n in sliders if n.name.strip()]
        print(f"focusable controls: {len(focusable)}, named: {len(focusable) - len(unnamed)}; "
              f"sliders: {len(sliders)}, named: {len(named_sliders)}")
        failures += [f"unnamed: {line}" for line in unnamed]
        if len(sliders) < 28:
            failures.append(f"only {len(sliders)} sliders")

        # The view buttons, in either language; one of them is the view shown.
        views = [n for n in focusable if n.name in ("Mic Control", "Music Control", "话筒控制", "音乐控制")
                 and n.getRole() != pyatspi.ROLE_LABEL]
        if len(views) != 2:
            failures.append(f"{len(views)} view buttons found by name")
        elif sum(n.getState().contains(pyatspi.STATE_CHECKED) for n in views) != 1:
            failures.append("not exactly one view button says it is selected")

        # Each effect's sliders lie inside that effect's group, inside the effects' frame.
        for effect in ("1", "2"):
            hpf = [n for n in sliders if n.name.lower() in (f"effect {effect} hpf", f"效果{'一二'[int(effect) - 1]}高通")]
            groups = []
            node = hpf[0].parent if hpf else None
            while node is not None and node != window:
                if node.getRole() == pyatspi.ROLE_PANEL:
                    groups.append(node.name.lower())
                node = node.parent
            if groups[:1] not in ([f"effect {effect}"], [f"效果{'一二'[int(effect) - 1]}"]) or len(groups) != 2:
                failures.append(f"effect {effect}'s HPF lies in the groups {groups}")

        gain = next((n for n in sliders if n.name.lower() in ("mic gain", "话筒增益")), None)
        if gain is None:
            failures.append("no slider named mic gain")
        else:
            value = gain.queryValue()
            before = value.currentValue
            wanted = before + 5 if before + 5 <= value.maximumValue else before - 5
            written_before = open(trace_path).read().count(REGISTER_WRITE)
            value.currentValue = wanted
            wait_for("the set value to be spoken back", lambda: abs(gain.queryValue().currentValue - wanted) < 0.5)
            wait_for("the set value to go out to the amplifier",
                     lambda: open(trace_path).read().count(REGISTER_WRITE) > written_before)
            print(f"mic gain set {before:g} -> {gain.queryValue().currentValue:g} and written to the amplifier")

    for failure in failures:
        print(f"FAIL: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
