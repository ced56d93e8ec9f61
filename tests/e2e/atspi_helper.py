#!/usr/bin/python3
"""The running program as assistive technologies see it, over the accessibility
bus (AT-SPI). Roles are matched by their constants: their names differ between
at-spi2-core versions ("push button" in 2.46, "button" in 2.56).

From a shell, each check retried until it holds or --wait seconds (20) pass:
  row ROW TEXT    the settings row holding the label ROW reads TEXT
  not ROW TEXT    the row holding ROW is shown and does not read TEXT
  says TEXT       a label of the program holds TEXT
  card NAME       the card showing is NAME's alone, with its Open button
  press NAME      presses the Open button of NAME's card
  texts PATTERN   prints the texts shown (cards as "card: NAME") once one matches
  cards           prints the names of the cards showing, once the program is listed
Exits 1 (and says what is shown) when the check does not hold in time."""
import re
import sys
import time

import pyatspi

LABEL, BUTTON, CARD = pyatspi.ROLE_LABEL, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_NOTIFICATION


def fail(message):
    sys.exit("FAIL: " + message)


def wait_until(what, predicate, seconds=30.0):
    """Retries predicate until it holds; else fails on what, or on what() when it says more."""
    end = time.time() + seconds
    while True:
        try:
            result = predicate()
        except Exception:  # objects come and go as the windows change
            result = None
        if result:
            return result
        if time.time() >= end:
            fail(what() if callable(what) else "timed out waiting for " + what)
        time.sleep(0.1)


def children(node):
    return filter(None, (node.getChildAtIndex(i) for i in range(node.childCount)))


def walk(node):
    yield node
    for child in children(node):
        yield from walk(child)


def showing(node, *roles):
    return (not roles or node.getRole() in roles) and node.getState().contains(pyatspi.STATE_SHOWING)


def find_all(root, roles, name=None):
    return [n for n in walk(root) if showing(n, *roles) and (name is None or n.name == name)]


def labels(root):
    return [n.name for n in find_all(root, [LABEL])]


def button(root, name):
    return (find_all(root, [BUTTON], name) or [None])[0]


def program():
    """The program on the accessibility bus; raises while it is not listed yet."""
    return next(a for a in pyatspi.Registry.getDesktop(0) if a and a.name.lower() == "nudgewatch")


def window(name):
    return next(w for w in program() if w and w.name == name and showing(w))


def row(node, name):
    """The labels of the smallest part of node holding the label name and more."""
    for child in children(node):
        found = row(child, name)
        if found:
            return found
    texts = set(labels(node))
    return texts if name in texts and len(texts) > 1 else None


def card_buttons(app, name):
    """The buttons of the card showing for name, by their names."""
    return {n.name: n for card in find_all(app, [CARD], name) for n in find_all(card, [BUTTON])}


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    wanted = [n for n in ("Press", "press", "click", "Toggle", "toggle") if n in names]
    if not wanted:
        fail("no press action on %s (%s)" % (node.name, names))
    action.doAction(names.index(wanted[0]))


def texts(app):
    for node in walk(app):
        if showing(node, LABEL, BUTTON):
            yield node.name
        elif showing(node, CARD):
            yield "card: " + node.name


def shown_texts(app, pattern):
    found = list(texts(app))
    return any(re.search(pattern, text) for text in found) and print("\n".join(found)) is None


CHECKS = {  # each takes the program's accessible application, then the arguments
    "row": lambda app, name, text: text in (row(app, name) or ()),
    "not": lambda app, name, text: text not in (row(app, name) or (text,)),
    "says": lambda app, text: any(text in (label or "") for label in labels(app)),
    "card": lambda app, name: ("Open " + name in card_buttons(app, name)
                               and [n.name for n in find_all(app, [CARD])] == [name]),
    "press": lambda app, name: press(card_buttons(app, name)["Open " + name]) or True,
    "texts": shown_texts,
    "cards": lambda app: print(" ".join(sorted(n.name for n in find_all(app, [CARD])))) or True,
}


def main(argv):
    seconds = 20.0
    if argv[:1] == ["--wait"]:
        seconds, argv = float(argv[1]), argv[2:]
    if not argv or argv[0] not in CHECKS:
        sys.exit(__doc__)

    def shown():
        try:
            return "%s does not hold; shown: %s" % (" ".join(argv), ", ".join(texts(program())))
        except Exception:  # the accessibility bus may be slow to list the program under load
            return "%s: the program is not on the accessibility bus" % " ".join(argv)

    wait_until(shown, lambda: CHECKS[argv[0]](program(), *argv[1:]), seconds)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
