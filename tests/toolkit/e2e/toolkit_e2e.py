"""End-to-end checks of the window toolkit: the probe program (tests/toolkit/probe) driven with
real input under Wine, on a desktop of its own. Each check is one CTest test:

    toolkit_e2e.py RUN_IN_DESKTOP_EXE PROBE_EXE SEND_MESSAGE_EXE CHECK
"""

import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "tools", "e2e"))
import qpdrive  # noqa: E402
from qpdrive import DriveError  # noqa: E402

# The probe's pane colours.
PANE_COLOURS = {"paneA": (200, 40, 40), "paneB": (40, 160, 60), "paneC": (50, 70, 200)}
PANE_WINDOWS = {"paneA": "window1", "paneB": "window1", "paneC": "window2"}

WM_CLOSE = 0x10
WM_QUERYENDSESSION = 0x11
ALT_F4 = "alt+F4"


class Session:
    """The probe started with its targets known; the paths of the programs."""

    def __init__(self, launcher, probe, send_message, *args):
        self.desktop = qpdrive.Desktop(launcher)
        self.program = qpdrive.Program(probe, *args, desktop=self.desktop)
        self.send_message_exe = send_message
        self.targets = self.program.ready()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.program.close()
        return False

    def line(self, pattern, timeout=10.0, since=None):
        return self.program.wait_line(pattern, timeout, since)

    def point(self, name):
        return self.targets[name].centre

    def activate(self, pane):
        """Clicks the pane's centre: its window becomes the active document window. (The panes of
        an inactive window are disabled: the click that activates it reaches no pane.)"""
        window = self.targets[PANE_WINDOWS[pane]].hwnd
        mark = self.program.mark()
        qpdrive.click(*self.point(pane))
        self.line(r"^(MOUSEUP pane=%s |NOTIFY window=%d code=1$)" % (pane[-1], window), since=mark)

    def keys_to(self, name, *keys):
        """Moves the pointer onto the target, then presses the keys."""
        qpdrive.move_to(*self.point(name))
        qpdrive.key(*keys)

    def dialog_up(self, count, since=None):
        """Waits until `count` dialogs are up; the top one's target."""
        match = self.line(r"^DIALOG count=%d top=\S+ frame_enabled=(\d)" % count, since=since)
        return qpdrive.parse_targets(match.string)["top"], int(match.group(1))

    def keys_to_dialog(self, dialog, *keys):
        """Moves the pointer onto the dialog (a Target), then presses the keys."""
        qpdrive.move_to(*dialog.centre)
        qpdrive.key(*keys)

    def send_message(self, hwnd, message, wparam=0, lparam=0):
        """The helper's answer: (result, whether the window still exists)."""
        out = qpdrive.run_helper(self.send_message_exe, hwnd, message, wparam, lparam,
                                 desktop=self.desktop)
        fields = dict(field.split("=") for field in out.split())
        return int(fields["result"]), int(fields["exists"])

    def finish(self):
        """Alt+F4 on the frame ends the probe with exit code 0."""
        self.keys_to("paneC", ALT_F4)
        code = self.program.wait_exit()
        expect(code == 0, "exit code %d" % code)
        self.line(r"^EXIT code=0")


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def track_steps(session, since, until=None):
    return [(m.group(1), int(m.group(2))) for m in
            session.program.matching(r"^TRACK pane=(\w) x=-?\d+ y=-?\d+ mods=(-?\d+)", since, until)]


# --- the checks ---

def wait_colours(s, names, timeout=5.0):
    """Waits until each pane shows its colour over the whole of its logged rectangle."""
    deadline = time.monotonic() + timeout
    while True:
        shot = qpdrive.Screenshot()
        wrong = {name: shot.differing(s.targets[name].rect, PANE_COLOURS[name]) for name in names}
        if not any(wrong.values()):
            return
        if time.monotonic() > deadline:
            report = ["%s %r: %d pixels differ, e.g. %r is %r" % (
                name, s.targets[name].rect, len(points), points[0], shot.pixel(*points[0]))
                for name, points in wrong.items() if points]
            raise AssertionError("; ".join(report))
        time.sleep(0.1)


def check_pane_colours(s):
    """Each pane shows its colour over the whole of its logged rectangle."""
    wait_colours(s, PANE_COLOURS)
    s.finish()


def check_hold_tracking(s):
    """Holding the left button gives a stream of steps with bit 1, then steps without it, then
    no step at all."""
    s.activate("paneA")
    start = s.program.mark()
    qpdrive.button_down(1)
    s.line(r"^MOUSEDOWN pane=A .* mods=1$", since=start)
    down = s.program.cursor
    time.sleep(0.6)
    qpdrive.button_up(1)
    s.line(r"^MOUSEUP pane=A ", since=down)
    # Let the chain that follows the release run out.
    time.sleep(0.5)
    settled = s.program.mark()
    steps = track_steps(s, down, settled)
    clear = next((i for i, (_, mods) in enumerate(steps) if not mods & 1), len(steps))
    held, after = steps[:clear], steps[clear:]
    expect(len(held) >= 5, "only %d tracking steps while the button was held" % len(held))
    expect(all(pane == "A" for pane, _ in held), "steps of other panes while held")
    expect(after and all(not mods & 1 for _, mods in after),
           "steps after the release: %r" % after[:8])
    time.sleep(0.5)
    later = track_steps(s, settled)
    expect(not later, "%d steps more than 0.5 s after the release" % len(later))
    s.finish()


def check_pane_key(s):
    """A key goes to the active window's panes in order: to C alone in window 2, to A and then
    B in window 1 (A takes no plain letter)."""
    s.activate("paneC")
    mark = s.program.mark()
    s.keys_to("paneC", "k")
    s.line(r"^KEYDOWN pane=C key=75 ", since=mark)
    s.activate("paneA")
    mark = s.program.mark()
    s.keys_to("paneA", "k")
    s.line(r"^KEYDOWN pane=A key=75 ", since=mark)
    s.line(r"^KEYDOWN pane=B key=75 ")
    panes = [m.group(1) for m in s.program.matching(r"^KEYDOWN pane=(\w) key=75 ", mark)]
    expect(panes == ["A", "B"], "key 75 reached %r" % panes)
    s.finish()


def ask_question(s):
    mark = s.program.mark()
    s.keys_to("paneA", "q")
    dialog, frame_enabled = s.dialog_up(1, since=mark)
    expect(frame_enabled == 0, "the frame is enabled while the question is up")
    return dialog


def check_question_keys(s):
    """Return presses "OK" (0), Escape "Cancel" (1); the frame is disabled only meanwhile."""
    s.activate("paneA")
    for keyname, answer in (("Return", 0), ("Escape", 1)):
        dialog = ask_question(s)
        s.keys_to_dialog(dialog, keyname)
        match = s.line(r"^QUESTION result=(\d+) frame_enabled=(\d)")
        expect(match.group(1) == str(answer), "%s answered %s" % (keyname, match.group(1)))
        expect(match.group(2) == "1", "the frame stays disabled after the question")
    s.finish()


def check_alert_over_question(s):
    """An alert over the question leaves the frame disabled; closing the question enables it."""
    s.activate("paneA")
    mark = s.program.mark()
    s.keys_to("paneA", "n")
    s.dialog_up(1, since=mark)
    alert, frame_enabled = s.dialog_up(2)
    expect(frame_enabled == 0, "the frame is enabled under the alert")
    s.keys_to_dialog(alert, "Return")
    match = s.line(r"^INNER_ALERT result=(\d+) frame_enabled=(\d)")
    expect(match.group(1) == "1", "the alert answered %s" % match.group(1))
    expect(match.group(2) == "0", "the frame was enabled when the alert closed over the question")
    question, frame_enabled = s.dialog_up(1)
    expect(frame_enabled == 0, "the frame is enabled while the question is still up")
    s.keys_to_dialog(question, "Return")
    match = s.line(r"^QUESTION result=(\d+) frame_enabled=(\d)")
    expect(match.group(1) == "0", "the question answered %s" % match.group(1))
    expect(match.group(2) == "1", "the frame stays disabled after the question closed")
    s.finish()


def check_alert_return_twice(s):
    """Return twice on the alert gives one result, and the probe lives on."""
    s.activate("paneA")
    mark = s.program.mark()
    s.keys_to("paneA", "a")
    alert, _ = s.dialog_up(1, since=mark)
    s.keys_to_dialog(alert, "Return", "Return")
    s.line(r"^ALERT result=1 frame_enabled=1")
    time.sleep(2)
    expect(s.program.running(), "the probe ended after the alert")
    results = s.program.matching(r"^ALERT ", mark)
    expect(len(results) == 1, "%d alert results" % len(results))
    mark = s.program.mark()
    s.keys_to("paneA", "k")
    s.line(r"^KEYDOWN pane=A key=75 ", since=mark)
    s.finish()


def check_dialog_alt_f4(s):
    """Alt+F4 on the question counts as "Cancel" and leaves the frame up."""
    s.activate("paneA")
    dialog = ask_question(s)
    s.keys_to_dialog(dialog, ALT_F4)
    match = s.line(r"^QUESTION result=(\d+) frame_enabled=(\d)")
    expect(match.group(1) == "1", "Alt+F4 answered %s" % match.group(1))
    expect(match.group(2) == "1", "the frame stays disabled")
    s.finish()


def check_frame_refuses_close_while_modal(s):
    """WM_CLOSE and WM_QUERYENDSESSION to the frame under a question are refused."""
    s.activate("paneA")
    dialog = ask_question(s)
    frame = s.targets["frame"].hwnd
    _, exists = s.send_message(frame, WM_CLOSE)
    expect(exists == 1, "WM_CLOSE destroyed the frame under the question")
    result, exists = s.send_message(frame, WM_QUERYENDSESSION)
    expect(result == 0 and exists == 1, "WM_QUERYENDSESSION answered %d (frame exists: %d)" % (result, exists))
    expect(s.program.running(), "the probe ended")
    expect(not s.program.matching(r"^QUESTION ", 0), "the question ended")
    s.keys_to_dialog(dialog, "Escape")
    s.line(r"^QUESTION result=1 frame_enabled=1")
    s.finish()


def check_frame_alt_f4(s):
    """Alt+F4 on the frame ends the program with exit code 0."""
    s.activate("paneC")
    s.finish()


def paints(s, panes, since, until=None):
    return {pane: len(s.program.matching(r"^WM_PAINT pane=%s " % pane, since, until)) for pane in panes}


def check_minimize_restore_paints(s):
    """A window minimized, restored and its panes invalidated paints them a few times, not in a
    loop, and shows them again."""
    s.activate("paneA")
    mark = s.program.mark()
    s.keys_to("paneA", "m")
    s.line(r"^MINIMIZED iconic=1", since=mark)
    minimized = s.program.cursor
    s.line(r"^RESTORED iconic=0")
    restored = s.program.cursor
    time.sleep(2)
    after = paints(s, "AB", restored)
    while_minimized = paints(s, "AB", minimized, restored)
    expect(all(1 <= n <= 4 for n in after.values()),
           "WM_PAINT in the 2 s after the restore: %r (while minimized: %r)" % (after, while_minimized))
    drawn = {m.group(1) for m in s.program.matching(r"^DRAW pane=(\w) ", restored)}
    expect(drawn == {"A", "B"}, "panes drawn after the restore: %r" % sorted(drawn))
    wait_colours(s, ["paneA", "paneB"])
    s.finish()


LONG_NAME = "C:\\e2e\\" + "x" * 300 + ".qpy"


def check_dropped_names(s):
    """Three dropped names, the second longer than a path may be: the other two open in order."""
    s.line(r"^DROP count=3")
    first = s.line(r"^OPEN mode=(\d+) path=(.*)$")
    second = s.line(r"^OPEN mode=(\d+) path=(.*)$")
    expect((first.group(1), second.group(1)) == ("9", "9"), "open modes %s, %s" % (first.group(1), second.group(1)))
    expect(first.group(2).lower().endswith("first.qpy"), "first opened: %s" % first.group(2))
    expect(second.group(2).lower().endswith("third.qpy"), "second opened: %s" % second.group(2))
    s.finish()
    opened = s.program.matching(r"^OPEN ", 0)
    expect(len(opened) == 2, "%d names opened" % len(opened))


def check_help_key(s):
    """F1 in the frame asks for the help index of QPLAY.HLP beside the program, once (the frame
    ends help with HELP_QUIT when it is destroyed)."""
    s.activate("paneA")
    mark = s.program.mark()
    s.keys_to("paneA", "F1")
    match = s.line(r"^HELP window=(\d+) command=(\d+) data=(\d+) file=(.*)$", since=mark)
    expect(int(match.group(1)) == s.targets["frame"].hwnd, "help for window %s" % match.group(1))
    expect(match.group(2) == "3", "help command %s" % match.group(2))
    expect(match.group(4).endswith("\\QPLAY.HLP"), "help file %s" % match.group(4))
    # The key then goes on as any other key does.
    s.line(r"^KEYDOWN pane=A key=112 ")
    s.finish()
    calls = s.program.matching(r"^HELP .* command=3 ", mark)
    expect(len(calls) == 1, "%d help index calls" % len(calls))


# --- the help bar ---

# The bar's text field in bar coordinates: from its text's left to its right edge (counted from
# the bar's right), the rows the text is drawn in.
HELP_TEXT_LEFT = 8
HELP_TEXT_RIGHT_GAP = 111
HELP_TEXT_ROWS = (4, 16)
# Where the gauge's black frame starts, from the bar's right and top.
GAUGE_FRAME_CORNER = (105, 5)


def help_text_right(shot, bar):
    """The right-most dark pixel of the bar's text field, or 0 when it shows no text."""
    left, top, right, _ = bar.rect
    dark = [x for y in range(top + HELP_TEXT_ROWS[0], top + HELP_TEXT_ROWS[1])
            for x in range(left + HELP_TEXT_LEFT, right - HELP_TEXT_RIGHT_GAP) if max(shot.pixel(x, y)) < 96]
    return max(dark, default=0)


def wait_screen(predicate, what, timeout=5.0):
    """Takes screenshots until the predicate gives a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate(qpdrive.Screenshot())
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(what)
        time.sleep(0.1)


def check_help_bar_texts(s):
    """A pane's help text shows in the bar; over the bar's right end the bar tells the free memory,
    a figure within 5 % of the system's own, in a longer text beside the gauge."""
    bar = qpdrive.parse_targets(s.line(r"^HELPBAR bar=").string)["bar"]
    s.activate("paneA")
    x, y = s.point("paneA")
    qpdrive.move_to(x + 10, y + 10)
    s.line(r"^HELPTEXT memory_kbytes=\d+ text=Help of pane A\.$")
    pane_text = wait_screen(lambda shot: help_text_right(shot, bar), "the bar shows no text for pane A")
    left, top, right, bottom = bar.rect
    mark = s.program.mark()
    qpdrive.move_to(right - 50, (top + bottom) // 2)
    match = s.line(r"^HELPTEXT memory_kbytes=(\d+) text=Free memory space is (\d+) Kbytes\.$", since=mark)
    system, shown = int(match.group(1)), int(match.group(2))
    expect(abs(shown - system) <= system * 0.05, "the bar shows %d Kbytes, the system %d" % (shown, system))
    corner = (right - GAUGE_FRAME_CORNER[0], top + GAUGE_FRAME_CORNER[1])
    wait_screen(lambda shot: help_text_right(shot, bar) > pane_text + 40 and shot.pixel(*corner) == (0, 0, 0),
                "the bar does not show the longer memory text beside its gauge")
    s.finish()


CHECKS = {name[len("check_"):]: function for name, function in globals().items() if name.startswith("check_")}
ARGUMENTS = {"dropped_names": ("--drop", "C:\\e2e\\first.qpy", LONG_NAME, "C:\\e2e\\third.qpy")}


def main():
    if len(sys.argv) != 5 or sys.argv[4] not in CHECKS:
        print("usage: toolkit_e2e.py RUN_IN_DESKTOP PROBE SEND_MESSAGE CHECK (%s)" % ", ".join(CHECKS),
              file=sys.stderr)
        return 2
    launcher, probe, send_message, name = sys.argv[1:]
    session = None
    try:
        with Session(launcher, probe, send_message, *ARGUMENTS.get(name, ())) as session:
            CHECKS[name](session)
    except (AssertionError, DriveError) as error:
        print("FAILED %s: %s" % (name, error))
        if session:
            print("the probe's last lines:\n  " + "\n  ".join(session.program.lines[-25:]))
        return 1
    print("passed %s" % name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
