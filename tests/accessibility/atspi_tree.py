"""Walks the tool's main window through AT-SPI: every control that takes the focus has a name
of its own, the hidden Settings tab is not there, and the connection LED says on or off; the
names are those of the locale given (C or a German one)."""
import sys
import time

import pyatspi


ENGLISH = {name: name for name in (
    "Choose the configuration file...", "Choose the memory file...", "Configuration file", "Memory file",
    "Settings", "Offline", "Online", "Connect", "Disconnect")}
GERMAN = dict(zip(ENGLISH, (
    "Konfigurationsdatei wählen …", "Speicherdatei wählen …", "Konfigurationsdatei", "Speicherdatei",
    "Einstellungen", "Offline", "Online", "Verbinden", "Trennen")))
T = GERMAN if sys.argv[2].startswith("de") else ENGLISH


def wait_for(what, condition, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = condition()
        if found:
            return found
        time.sleep(0.2)
    sys.exit(f"FAIL: {what}")


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    return next((app for app in desktop if app and app.name == name), None)


def showing(root):
    """The nodes a user can reach now, the window's menus left aside until opened."""
    nodes = []
    def visit(node):
        # A child that went away while the walk was under way (a removed tab) is None.
        if node is None or not node.getState().contains(pyatspi.STATE_SHOWING):
            return
        nodes.append(node)
        for child in node:
            visit(child)
    visit(root)
    return nodes


def check_names(window, failures):
    focusable = [n for n in showing(window) if n.getState().contains(pyatspi.STATE_FOCUSABLE)]
    names = [n.name for n in focusable]
    for node in focusable:
        if not node.name:
            failures.append(f"a {node.getRoleName()} without a name")
        elif names.count(node.name) > 1:
            failures.append(f"{names.count(node.name)} controls called {node.name!r}")
    return focusable


def named(window, name, role=None):
    return next((n for n in showing(window) if n.name == name and (role is None or n.getRoleName() == role)), None)


def lit(node):
    return node is not None and node.getState().contains(pyatspi.STATE_CHECKED)


def main():
    app = wait_for("the tool on the AT-SPI bus", lambda: application(sys.argv[1]))
    window = wait_for("its main window", lambda: next((w for w in app if w.getRoleName() == "frame"), None))
    failures = []

    check_names(window, failures)
    for name in (T["Choose the configuration file..."], T["Choose the memory file..."], T["Configuration file"],
                 T["Memory file"]):
        if named(window, name) is None:
            failures.append(f"no control called {name!r}")
    if named(window, T["Settings"], "page tab"):
        failures.append("the hidden Settings tab is exposed")
    if not lit(named(window, T["Offline"])) or named(window, T["Online"]):
        failures.append("offline, the Offline LED is not the one shown and on")

    connect = named(window, T["Connect"], "push button")
    connect.queryAction().doAction(0)
    wait_for("the Online LED on after Connect", lambda: lit(named(window, T["Online"])))
    if named(window, T["Offline"]):
        failures.append("online, the Offline LED is still shown")
    if named(window, T["Settings"], "page tab") is None:
        failures.append("online, the Settings tab is missing")
    check_names(window, failures)

    named(window, T["Disconnect"], "push button").queryAction().doAction(0)
    wait_for("the Offline LED on after Disconnect", lambda: lit(named(window, T["Offline"])))

    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)


main()
