# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the running program through the AT-SPI bus, as a screen reader would.

Usage: atspi_check.py MAIN_TITLE PICKER_TITLE WATCHED_FOLDER

Checks both windows' trees (every focusable control that is showing has a name, no two lists of a window
share one, no name is spelt letter by letter, the expected names are there), that a new interval and the
folder handed back by the picker are told as events, and prints every control with its name.
"""
import re
import sys
import time

import pyatspi
from gi.repository import GLib

MAIN_TITLE, PICKER_TITLE, WATCHED = sys.argv[1:4]
failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def pump(seconds, until=lambda: False):
    """Lets AT-SPI deliver events for up to `seconds`, or until `until()` holds."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline and not until():
        while context.iteration(False):
            pass
        time.sleep(0.02)
    return until()


def find_window(title, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None or app.name != "foldwarn":
                continue
            for window in app:
                if window is not None and window.name == title:
                    return window
        time.sleep(0.2)
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def focusable(node):
    return node.getState().contains(pyatspi.STATE_FOCUSABLE)


SPELT = re.compile(r"(?:^|\s)\S(?: \S){3,}(?:\s|$)")


def label_of(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return relation.getTarget(0).name
    return ""


def check_window(window, expected):
    """`expected`: names that must each belong to one showing, focusable control (or label one)."""
    print("%s:" % window.name)
    lists = []
    found = set()
    for node in walk(window):
        role = node.getRoleName()
        if role in ("list item", "table cell"):
            continue
        name = node.name
        if SPELT.search(name):
            fail("%s %r is spelt letter by letter" % (role, name))
        if role == "list":
            lists.append(name)
        if not (showing(node) and focusable(node)):
            continue
        label = label_of(node)
        print("  %-12s %-28r label=%r description=%r" % (role, name, label, node.description))
        if not name:
            fail("a showing %s in %r has no name" % (role, window.name))
        found.update({name, label})
    for name in set(lists):
        if lists.count(name) > 1:
            fail("%d lists in %r share the name %r" % (lists.count(name), window.name, name))
    for name in expected:
        if name not in found:
            fail("no showing control in %r is named %r" % (window.name, name))


def control(window, role, name):
    for node in walk(window):
        if node.getRoleName() == role and node.name == name and showing(node):
            return node
    fail("no showing %s %r in %r" % (role, name, window.name))
    return None


told = []


def listen(event):
    source = event.source
    told.append((event.type, source.getRoleName() if source else "", source.description if source else "",
                 event.any_data if isinstance(event.any_data, str) else ""))


main = find_window(MAIN_TITLE)
if main is None:
    sys.exit("FAIL: the main window %r is not on the AT-SPI bus" % MAIN_TITLE)
check_window(main, ["Durchsuchen", "Intervall in Sekunden", "Signalton 'Neue Datei'", "Signalton 'Datei entfernt'",
                    "Folgender Pfad wird jede Sekunde auf neue Dateien überprüft:"])

pyatspi.Registry.registerEventListener(listen, "object:property-change:accessible-description",
                                       "object:text-changed:insert")
pump(1)  # the program learns that someone listens

# A new interval: the scroll bar's description becomes the label's new text.
bar = control(main, "scroll bar", "Intervall in Sekunden")
if bar is not None:
    bar.queryValue().currentValue = 30
    caption = "Folgender Pfad wird alle 30 Sekunden auf neue Dateien überprüft:"
    if not pump(5, lambda: any(t[1] == "scroll bar" and t[2] == caption for t in told)):
        fail("the new interval was not told: %r" % told)

# The picker, opened by the button's action as a screen reader user would.
browse = control(main, "push button", "Durchsuchen")
if browse is not None:
    action = browse.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press"))
picker = find_window(PICKER_TITLE, 15)
if picker is None:
    sys.exit("FAIL: the picker did not open: %s" % failures)
check_window(picker, ["Übernehmen", "Abbrechen", "Neuer Ordner", "Ordner", "Laufwerk"])
files = [n for n in walk(picker) if n.getRoleName() == "list" and n.name == "Dateien im Ordner"]
if not files:
    fail("the picker's file list is not named")

# Apply: the folder shown afterwards is told as the path field's new text.
apply = control(picker, "push button", "Übernehmen")
if apply is not None:
    action = apply.queryAction()
    action.doAction([action.getName(i) for i in range(action.nActions)].index("Press"))
    if not pump(5, lambda: any(t[0].startswith("object:text-changed:insert") and t[3] == WATCHED + "/" for t in told)):
        fail("the folder handed back was not told: %r" % told)

pyatspi.Registry.deregisterEventListener(listen, "object:property-change:accessible-description",
                                         "object:text-changed:insert")
for event_type, role, description, text in told:
    if role == "scroll bar" or event_type.startswith("object:text-changed"):
        print("told: %s from the %s: %r" % (event_type, role, text or description))
if failures:
    sys.exit(1)
print("OK")
