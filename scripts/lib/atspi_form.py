"""Reads the Qt form as a screen reader does: over AT-SPI, from the
accessibility bus of the session it runs in.

  atspi_form.py check               every control that takes input or shows
                                    state has a name, no two on the page share
                                    one; prints how many, exits 1 otherwise
  atspi_form.py focus               the name of the control with the focus
  atspi_form.py text NAME           the text of the field named NAME
  atspi_form.py read-only NAME      exits 0 when the field named NAME is
                                    enabled and focusable but not editable
  atspi_form.py names               every name, one a line (for a failure's log)
  atspi_form.py title               the form window's title as it is shown
  atspi_form.py status              the text of the status line
  atspi_form.py box                 the text of the message box open over the
                                    form; exits 1 when none is open
  atspi_form.py watch-focus FILE    writes the name of every control of the
                                    program that gets the focus to FILE, one a
                                    line, as it happens, until killed

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


def app():
    for candidate in pyatspi.Registry.getDesktop(0):
        if candidate is not None and candidate.name == "harvelin":
            return candidate
    return None


def label_texts(node):
    return [n.name or n.queryText().getText(0, -1) for n in shown(node) if n.getRole() == pyatspi.ROLE_LABEL]


def message_box():
    program = app()
    for window in program or []:
        if window is not None and not window.name.startswith("Harvelin") and window.getState().contains(
                pyatspi.STATE_SHOWING):
            texts = [t for t in label_texts(window) if t]
            if texts:
                return max(texts, key=len)
    return None


def watch_focus(path):
    with open(path, "a", encoding="utf-8") as out:
        def focused(event):
            if event.detail1 == 1 and event.host_application is not None \
                    and event.host_application.name == "harvelin":
                out.write(f"{event.source.name}\n")
                out.flush()
        pyatspi.Registry.registerEventListener(focused, "object:state-changed:focused")
        out.write("watching\n")
        out.flush()
        pyatspi.Registry.start()
    return 0


def main(args):
    what = args[0] if args else "check"
    if what == "watch-focus" and len(args) > 1:
        return watch_focus(args[1])
    if what == "box":
        text = message_box()
        if text is None:
            return 1
        print(text)
        return 0
    window = form()
    if window is None:
        print("no window \"Harvelin\" of the program \"harvelin\" on the accessibility bus")
        return 2
    if what == "title":
        print(window.name)
        return 0
    if what == "status":
        for n in shown(window):
            if n.name.startswith("Status"):
                print(n.name)
                return 0
        return 1
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
    if what == "read-only" and len(args) > 1:
        for n in controls(window):
            if n.name == args[1]:
                state = n.getState()
                takes = state.contains(pyatspi.STATE_ENABLED) and state.contains(pyatspi.STATE_FOCUSABLE)
                read_only = state.contains(pyatspi.STATE_READ_ONLY) or not state.contains(pyatspi.STATE_EDITABLE)
                if not (takes and read_only):
                    print(" ".join(pyatspi.stateToString(s) for s in state.getStates()), file=sys.stderr)
                return 0 if takes and read_only else 1
        return 1
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
