#!/usr/bin/env python3
"""Checks the form's layout as harvelin.exe --layout-report wrote it.

    check-layout.py REPORT

Every visible control lies inside the client area; no two overlap, except a
control inside a group's frame and controls the layout table itself lays on
each other; and every text that may not be cut fits its control, with what
the control's kind draws beside it (a check box's box and gap, a button's
frame). An edit's text scrolls and is not measured. Prints one line per
fault and a summary; exits 1 on any fault, and on a report that is missing,
empty or lists no control.
"""
import sys

MEASURED = {"label", "group", "button", "default", "check", "radio", "list"}


def main(path):
    try:
        with open(path, encoding="utf-8") as f:
            rows = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    except OSError as e:
        print(f"no layout report: {e}")
        return 1
    if not rows or rows[0][0] != "client" or len(rows) < 2:
        print(f"the layout report {path} is empty or has no controls")
        return 1
    width, height, dpi, base_x, base_y = map(int, rows[0][1:6])
    controls = []
    for r in rows[1:]:
        c = {
            "id": r[0], "kind": r[1], "rect": tuple(map(int, r[2:6])), "text": int(r[6]), "pad": int(r[7]),
            "elides": r[8] == "1", "table": tuple(map(int, r[9:13])), "shown": r[13] if len(r) > 13 else "",
        }
        controls.append(c)

    def name(c):
        return f"{c['kind']} {c['id']} \"{c['shown']}\""

    faults = []
    for c in controls:
        left, top, right, bottom = c["rect"]
        if left < 0 or top < 0 or right > width or bottom > height:
            faults.append(f"outside the client area {width}x{height}: {name(c)} at {c['rect']}")

    def overlap(a, b):
        return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]

    def inside(a, frame):
        return frame[0] <= a[0] and frame[1] <= a[1] and a[2] <= frame[2] and a[3] <= frame[3]

    def table_rect(c):
        x, y, w, h = c["table"]
        return (x, y, x + w, y + h)

    for i, a in enumerate(controls):
        for b in controls[i + 1:]:
            if not overlap(a["rect"], b["rect"]):
                continue
            if a["kind"] == "group" and inside(b["rect"], a["rect"]):
                continue
            if b["kind"] == "group" and inside(a["rect"], b["rect"]):
                continue
            if overlap(table_rect(a), table_rect(b)):
                continue
            faults.append(f"overlap: {name(a)} at {a['rect']} and {name(b)} at {b['rect']}")

    for c in controls:
        if c["kind"] not in MEASURED or c["elides"] or c["text"] == 0:
            continue
        room = c["rect"][2] - c["rect"][0]
        if c["text"] + c["pad"] > room:
            faults.append(f"text cut: {name(c)} takes {c['text']} + {c['pad']} px in {room} px")

    for fault in faults:
        print(fault)
    print(f"{len(controls)} controls at {dpi} dpi in {width}x{height} px, dialog units "
          f"{base_x}/4 x {base_y}/8 px: {len(faults)} fault(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
