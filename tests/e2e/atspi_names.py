#!/usr/bin/python3
"""What screen readers hear of the window over AT-SPI, against the window's golden file: every
control found at its box is named by its caption, and each spin field is a spin button whose value
lies within its limits. Usage: atspi_names.py PID GOLDEN_FILE; prints what differs, exit 1 then.
atspi_names.py PID --press NAME presses the button NAME as a screen reader does (exit 1 when it is
not there or off); atspi_names.py PID --state prints whether the window shows and which of its
controls take input: "shown on: CLI Encoder location, ..., Encoder command line"."""
import re
import sys

import pyatspi


def golden_controls(path):
    pattern = re.compile(r'^control (\w+) (\d+),(\d+),(\d+),(\d+) caption="(.*?)" hint=')
    with open(path, encoding="utf-8") as golden:
        for line in golden:
            found = pattern.match(line)
            if found:
                name, x, y, w, h, caption = found.groups()
                yield name, (int(x), int(y), int(w), int(h)), caption


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def walk(accessible):
    yield accessible
    for child in accessible:
        if child is not None:
            yield from walk(child)


def largest_inside(found, box):
    """The largest accessible within `box` (a check box reports its indicator and caption only,
    a field's parts lie inside it; one grown to fit its caption passes its right edge); the
    outermost of equals."""
    left, top, width, height = box
    best, best_area = None, 0
    for (x, y, w, h), accessible in found:
        inside = left <= x < left + width and y >= top and y + h <= top + height
        if inside and w * h > best_area:
            best, best_area = accessible, w * h
    return best


def press(frame, name):
    for accessible in walk(frame):
        if (accessible.name == name and accessible.getRole() == pyatspi.ROLE_PUSH_BUTTON
                and accessible.getState().contains(pyatspi.STATE_ENABLED)):
            return 0 if accessible.queryAction().doAction(0) else 1
    return 1


def state(frame):
    shown = frame.getState().contains(pyatspi.STATE_SHOWING)
    on = [accessible.name for accessible in walk(frame)
          if accessible.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TEXT)
          and accessible.name and accessible.getState().contains(pyatspi.STATE_ENABLED)]
    print("shown" if shown else "hidden", "on: " + ", ".join(on))
    return 0


def main():
    pid = int(sys.argv[1])
    app = application(pid)
    if app is None or app.childCount == 0:
        print("no accessible application of process", pid)
        return 1
    frame = app[0]
    if sys.argv[2] == "--press":
        return press(frame, sys.argv[3])
    if sys.argv[2] == "--state":
        return state(frame)
    golden = sys.argv[2]
    fx, fy = frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)[:2]
    found = []
    for accessible in walk(frame):
        x, y, w, h = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        found.append(((x - fx, y - fy, w, h), accessible))
    problems = []
    for name, box, caption in golden_controls(golden):
        accessible = largest_inside(found, box)
        if accessible is None:
            problems.append(f"{name}: nothing at {box}")
            continue
        if accessible.name != caption:
            problems.append(f"{name}: named '{accessible.name}', its caption is '{caption}'")
        if name.startswith("jvs"):
            if accessible.getRole() != pyatspi.ROLE_SPIN_BUTTON:
                problems.append(f"{name}: role {accessible.getRoleName()}, not spin button")
                continue
            value = accessible.queryValue()
            if not value.minimumValue <= value.currentValue <= value.maximumValue:
                problems.append(f"{name}: value {value.currentValue} outside "
                                f"{value.minimumValue}..{value.maximumValue}")
            print(f"{name}: spin button {value.currentValue} in "
                  f"{value.minimumValue:g}..{value.maximumValue:g}")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
