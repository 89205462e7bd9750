#!/usr/bin/python3
"""Reads and drives the blackboard through AT-SPI, as a screen reader does.

    atspi.py tree                 checks names, roles and states of every control
    atspi.py states NAME          prints the control's states, comma-separated
    atspi.py press NAME           performs the control's default action
    atspi.py extents NAME         prints the control's x,y,w,h on the screen
    atspi.py date                 prints the date strip's name and text, tab-separated
    atspi.py focused              prints the name of the control with the focus
    atspi.py description NAME     prints the control's description
    atspi.py announced NAME       performs NAME's default action and prints what assistive
                                  technology was told in the next 3 s: "event-type name" lines
    atspi.py listen MS READY      prints what assistive technology was told in the next MS ms,
                                  once the file READY exists (made when listening starts)
"""
import sys
import time

import pyatspi

APP = "zav-blackboard"
STICKS = ["白のチョーク", "黄色のチョーク", "赤紫のチョーク", "赤のチョーク", "青のチョーク", "緑のチョーク"]


def application(deadline=20):
    end = time.time() + deadline
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == APP:
                return app
        time.sleep(0.1)
    sys.exit(f"FAIL: {APP} is not on the accessibility bus")


def nodes(node):
    yield node
    for child in node:
        if child is not None:
            yield from nodes(child)


def find(name, deadline=10):
    end = time.time() + deadline
    while time.time() < end:
        for node in nodes(application()):
            if node.name == name:
                return node
        time.sleep(0.1)
    sys.exit(f"FAIL: no control named {name}")


def states(node):
    return {pyatspi.stateToString(s) for s in node.getState().getStates()}


def check_tree():
    problems = []

    def expect(name, roles, present=(), absent=()):
        """roles: the roles the control may have, compared as AT-SPI's numbers (their names have
        changed: "push button" is "button" from AT-SPI 2.50 on)."""
        node = find(name)
        if node.getRole() not in roles:
            problems.append(f"{name}: role {node.getRoleName()}")
        have = states(node)
        for s in present:
            if s not in have:
                problems.append(f"{name}: not {s} ({sorted(have)})")
        for s in absent:
            if s in have:
                problems.append(f"{name}: {s} ({sorted(have)})")
        return node

    expect("ZAV 黒板", {pyatspi.ROLE_FRAME}, ["showing"])
    board = expect("黒板", {pyatspi.ROLE_CANVAS}, ["showing", "focusable"])
    if board.description != "白のチョークを持っています。":
        problems.append(f"黒板: description {board.description!r}, not what is in hand alone")
    frame = find("ZAV 黒板")
    if "左ボタン" not in frame.description:
        problems.append(f"ZAV 黒板: description {frame.description!r} does not say how to write")
    # White is in hand at the start: off the tray, not showing, not focusable. A stick is a button
    # that takes up its chalk; none is ever checked.
    expect(STICKS[0], {pyatspi.ROLE_PUSH_BUTTON}, [], ["showing", "focusable", "checked"])
    for name in STICKS[1:]:
        node = expect(name, {pyatspi.ROLE_PUSH_BUTTON}, ["showing", "focusable"], ["checked"])
        if node.description != "白のチョークを持っています。":
            problems.append(f"{name}: description {node.description!r}, not what is in hand")
        action = node.queryAction()
        if action.nActions < 1:
            problems.append(f"{name}: no action")
    # A button that opens a menu: Qt 6.8 says so in its role.
    eraser = expect("黒板消し", {pyatspi.ROLE_PUSH_BUTTON, getattr(pyatspi, "ROLE_PUSH_BUTTON_MENU", None)},
                    ["showing", "focusable"])
    action = eraser.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if not names:
        problems.append("黒板消し: no action")
    tray = find("チョーク入れ")
    children = [child.name for child in tray]
    if children != STICKS + ["黒板消し"]:
        problems.append(f"チョーク入れ holds {children}")
    labels = [n for n in nodes(application()) if n.getRole() == pyatspi.ROLE_LABEL]
    if len(labels) != 1:
        problems.append(f"{len(labels)} labels, not the one date")
    for node in nodes(application()):
        if node.getRole() == pyatspi.ROLE_FILLER and not node.name:
            problems.append("a nameless filler in the tree")
    if problems:
        sys.exit("FAIL: " + "; ".join(problems))
    print("ok")


def main():
    command = sys.argv[1]
    if command == "tree":
        check_tree()
    elif command == "states":
        print(",".join(sorted(states(find(sys.argv[2])))))
    elif command == "press":
        node = find(sys.argv[2])
        action = node.queryAction()
        if action.nActions < 1:
            sys.exit(f"FAIL: {sys.argv[2]} has no action")
        action.doAction(0)
    elif command == "extents":
        e = find(sys.argv[2]).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(f"{e.x},{e.y},{e.width},{e.height}")
    elif command == "date":
        for node in nodes(application()):
            if node.getRole() == pyatspi.ROLE_LABEL:
                print(node.name + "\t" + node.queryText().getText(0, -1))
                return
        sys.exit("FAIL: no date strip")
    elif command == "description":
        print(find(sys.argv[2]).description)
    elif command in ("announced", "listen"):
        from gi.repository import GLib

        heard = []

        def listener(event):
            said = f" {event.any_data}" if event.type == "object:announcement" else ""
            heard.append(f"{event.type} {event.source.name if event.source else ''}{said}")

        # Announcements come from Qt 6.8 on, with AT-SPI 2.46 on.
        for kind in ("object:state-changed", "object:text-changed", "object:property-change:accessible-name",
                     "object:property-change:accessible-description", "object:announcement"):
            pyatspi.Registry.registerEventListener(listener, kind)
        if command == "announced":
            node = find(sys.argv[2])
            GLib.timeout_add(300, lambda: node.queryAction().doAction(0) and False)
            GLib.timeout_add(3000, lambda: pyatspi.Registry.stop() or False)
        else:
            application()
            GLib.timeout_add(100, lambda: open(sys.argv[3], "w").close() or False)
            GLib.timeout_add(int(sys.argv[2]), lambda: pyatspi.Registry.stop() or False)
        pyatspi.Registry.start()
        print("\n".join(heard))
    elif command == "focused":
        for node in nodes(application()):
            if "focused" in states(node):
                print(node.name)
                return
        print("")
    else:
        sys.exit(f"unknown command {command}")


if __name__ == "__main__":
    main()
