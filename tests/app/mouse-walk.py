#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Works the panel with the mouse as a hand does, on a real X server: xdotool moves the pointer and clicks
where the accessibility tree says a control is drawn, and the X server and Qt decide what is hit.

Opens effect 1's preset list and clicks an entry, drags effect 2's HPF, turns the wheel over effect 1's send
and clicks the compressor's ON; each gesture must send a register write to the amplifier.
"""

import subprocess
import sys

import pyatspi

from panel_on_bus import REGISTER_WRITE, panel_on_bus, wait_for, wait_until, walk, walk_arguments


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def centre(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width // 2, box.y + box.height // 2


def find(nodes, role, *names):
    wanted = [name.lower() for name in names]
    for node in nodes:
        if node.getRole() == role and (node.name.lower() in wanted or node.description.lower() in wanted):
            return node
    return None


def main():
    args = walk_arguments()

    failures = []
    with panel_on_bus(args.launcher, args.work, args.varnoth) as panel:
        # The progress dialog goes when the synchronisation has ended.
        wait_for("the end of the first synchronisation", lambda: panel.app.childCount == 1)

        def controls():
            return [node for _, node in walk(panel.window)
                    if node.getState().contains(pyatspi.STATE_SHOWING)]

        def gesture(what, act):
            before = panel.trace().count(REGISTER_WRITE)
            act()
            if wait_until(lambda: panel.trace().count(REGISTER_WRITE) > before, 10):
                print(f"{what}: sent")
            else:
                failures.append(f"{what} sent nothing")

        nodes = controls()
        preset = find(nodes, pyatspi.ROLE_COMBO_BOX, "Effect 1 preset", "效果一预设")
        hpf = find(nodes, pyatspi.ROLE_SLIDER, "Effect 2 HPF", "效果二高通")
        send = find(nodes, pyatspi.ROLE_SLIDER, "Effect 1 volume", "效果一音量")
        compressor = find(nodes, pyatspi.ROLE_CHECK_BOX, "Compressor on", "压缩器开")
        for what, node in (("effect 1's preset list", preset), ("effect 2's HPF", hpf), ("effect 1's send", send),
                           ("the compressor's ON", compressor)):
            if node is None:
                failures.append(f"no {what} in the accessibility tree")
        if failures:
            for depth, node in walk(panel.window):
                print("  " * depth + f"{node.getRoleName()} \"{node.name}\" ({node.description})")

        if preset is not None:
            def choose_preset():
                x, y = centre(preset)
                xdotool("mousemove", x, y, "click", 1)
                popup = wait_for("the preset list to open", lambda: next(
                    (node for _, node in walk(preset) if node.getRole() == pyatspi.ROLE_LIST_ITEM
                     and node.getState().contains(pyatspi.STATE_SHOWING)
                     and not node.getState().contains(pyatspi.STATE_SELECTED)), None), 10)
                x, y = centre(popup)
                xdotool("mousemove", x, y, "click", 1)
            gesture("a click on an entry of effect 1's preset list", choose_preset)
        if hpf is not None:
            def drag_hpf():
                x, y = centre(hpf)
                box = hpf.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                tall = box.height > box.width
                to = (x, y + box.height // 3) if tall else (x + box.width // 3, y)
                xdotool("mousemove", x, y, "mousedown", 1)
                xdotool("mousemove", (x + to[0]) // 2, (y + to[1]) // 2)
                xdotool("mousemove", *to)
                xdotool("mouseup", 1)
            gesture("a drag of effect 2's HPF", drag_hpf)
        if send is not None:
            def wheel_send():
                x, y = centre(send)
                value = send.queryValue()
                button = 5 if value.currentValue > value.minimumValue else 4
                xdotool("mousemove", x, y, "click", "--repeat", 2, button)
            gesture("a wheel turn over effect 1's send", wheel_send)
        if compressor is not None:
            def click_compressor():
                x, y = centre(compressor)
                xdotool("mousemove", x, y, "click", 1)
            gesture("a click on the compressor's ON", click_compressor)

    for failure in failures:
        print(f"FAIL: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
