"""Reads the Qt form as a screen reader does: over AT-SPI, from the
accessibility bus of the session it runs in.

  atspi_form.py check               every control that takes input or shows
                                    state has a name, no two on the page share
                                    one; prints how many, exits 1 otherwise
  atspi_form.py focus               the name of the control with the focus
  atspi_form.py text NAME           the text of the field named NAME
  atspi_form.py names               every name, one a line (for a failure's log)

The program is found by its name on the bus, "harvelin".
"""

import sys

import pyatspi

# What takes input or shows state; the labels that show state carry a name
# from the form's table, the others are read as their text.
INPUT_OR_STATE = {
    pyatspi.ROLE_PUSH_BUTTON,
    pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_TEXT,
    pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_PASSWORD_TEXT,
    pyatspi.ROLE_LIST,
    pyatspi.ROLE_LIST_BOX,
    pyatspi.ROLE_PROGRESS_BAR,
}


def form():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == "harvelin":
            for window in app:
                if window is not None and window.name.startswith("Harvelin"):
                    return window
    return None


def shown(node):
    walk = [node]
    while walk:
        node = walk.pop()
        if node is None:
            continue
        states = node.getState()
        if not states.contains(pyatspi.STATE_SHOWING):
            continue
        yield node
        walk.extend(reversed([node.getChildAtIndex(i) for i in range(node.childCount)]))


def controls(window):
    return [n for n in shown(window) if n.getRole() in INPUT_OR_STATE]


def main(args):
    window = form()
    if window is None:
        print("no window \"Harvelin\" of the program \"harvelin\" on the accessibility bus")
        return 2
    what = args[0] if args else "check"
    if what == "check":
        found = controls(window)
        unnamed = [f"{n.getRoleName()} at {n.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)[:2]}"
                   for n in found if not n.name]
        seen, twice = set(), []
        for n in found:
            if n.name and n.name in seen:
                twice.append(n.name)
            seen.add(n.name)
        print(f"{len(found)} controls, {len(unnamed)} without a name, {len(twice)} names given twice")
        for line in unnamed[:10]:
            print(f"  no name: {line}")
        for name in twice[:10]:
            print(f"  twice: {name}")
        return 0 if found and not unnamed and not twice else 1
    if what == "names":
        print("\n".join(f"{n.getRoleName()}: {n.name}" for n in controls(window)))
        return 0
    if what == "focus":
        # A list's current item says it is focused whether or not the list
        # is; the controls themselves tell.
        for n in controls(window):
            if n.getState().contains(pyatspi.STATE_FOCUSED):
                print(n.name)
                return 0
        return 1
    if what == "text" and len(args) > 1:
        for n in controls(window):
            if n.name == args[1]:
                text = n.queryText()
                print(text.getText(0, text.characterCount))
                return 0
        return 1
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
