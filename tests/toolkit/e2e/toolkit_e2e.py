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
from qpdrive import DriveError, expect  # noqa: E402

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


# --- menus (the probe's menus: tests/toolkit/probe/menu_scenarios.cpp) ---

# Every entry of the bar's menus as the system menus show it ("\t" stands for the tab).
MENU_STRINGS = {
    ("File", 0): r"&Exit\tAlt+F4",
    ("Edit", 0): r"&Cut\tCtrl+X",
    ("Edit", 1): r"&Copy\tCtrl+C",
    ("Edit", 2): r"&Paste\tCtrl+V",
    ("Probe", 0): r"&Open...\tCtrl+O",
    ("Probe", 1): "",
    ("Probe", 2): r"&Dimmed\tCtrl+D",
    ("Probe", 3): r"Save &As...\tCtrl+Shift+S",
    ("Probe", 4): r"&Continued\tCtrl+J",
    ("Help", 0): "&About This Product ...",
}
MENU_TITLES = ["&File", "&Edit", "&Probe", "&Help"]
MENU_ENTRY = r"title=(\w+) index=(\d+) rect=(-?\d+),(-?\d+),(-?\d+),(-?\d+) text=(.*)$"


def entry_target(match):
    return qpdrive.Target(0, tuple(int(match.group(i)) for i in range(3, 7)))


def menu_titles(s):
    """The bar's titles and their targets, from its last complete log."""
    end = s.line(r"^MENUBAR_END count=(\d+)", since=0)
    count = int(end.group(1))
    entries = s.program.matching(r"^MENUBAR " + MENU_ENTRY, 0, s.program.cursor)[-count:]
    return {m.group(7): entry_target(m) for m in entries}


def open_menu(s, title):
    """Clicks the title in the bar; the items of its pop-up (index: (text, target)) once it is open."""
    name = title.replace("&", "")
    mark = s.program.mark()
    qpdrive.click(*menu_titles(s)[title].centre)
    s.line(r"^MENUITEM title=%s index=0 " % name, since=mark)
    return {int(m.group(2)): (m.group(7), entry_target(m))
            for m in s.program.matching(r"^MENUITEM " + MENU_ENTRY, mark) if m.group(1) == name}


def menu_command(s, since):
    match = s.line(r"^MENU_COMMAND menu=(\w+) position=(\d+)$", since=since)
    return match.group(1), int(match.group(2))


def choose(s, title, index):
    """Clicks the title, then the item; the command it performed."""
    items = open_menu(s, title)
    mark = s.program.mark()
    qpdrive.click(*items[index][1].centre)
    return menu_command(s, mark)


def by_keys(s, *keys):
    """Presses the keys over pane C; the command they performed."""
    mark = s.program.mark()
    s.keys_to("paneC", *keys)
    return menu_command(s, mark)


def check_menu_strings(s):
    """The bar's titles and every entry read back from the system menus as they were built."""
    titles = list(menu_titles(s))
    expect(titles == MENU_TITLES, "bar titles %r" % titles)
    strings = {(m.group(1), int(m.group(2))): m.group(3)
               for m in s.program.matching(r"^MENUSTRING title=(\w+) index=(\d+) text=(.*)$", 0)}
    expect(strings == MENU_STRINGS, "menu entries %r" % sorted(strings.items()))
    s.finish()


def check_menu_command_three_ways(s):
    """A click on the title and then the item, Alt with the mnemonics, and the key equivalent
    perform the same item; so for the item of the continuing menu and the one with Shift."""
    s.activate("paneC")
    for way, command in (("click", choose(s, "&Probe", 0)), ("mnemonic", by_keys(s, "alt+p", "o")),
                         ("key", by_keys(s, "ctrl+o"))):
        expect(command == ("Probe", 1), "%s performed %r" % (way, command))
    for way, command in (("click", choose(s, "&Probe", 4)), ("key", by_keys(s, "ctrl+j"))):
        expect(command == ("More", 1), "the continuation's item by %s performed %r" % (way, command))
    for way, command in (("mnemonic", by_keys(s, "alt+p", "a")), ("key", by_keys(s, "ctrl+shift+s"))):
        expect(command == ("Probe", 4), "Save As by %s performed %r" % (way, command))
    command = by_keys(s, "ctrl+c")
    expect(command == ("Edit", 2), "Ctrl+C performed %r" % (command,))
    s.finish()


def check_menu_disabled_key(s):
    """Ctrl+D, the key of a disabled item, performs nothing and reaches the pane as a key."""
    s.activate("paneC")
    mark = s.program.mark()
    s.keys_to("paneC", "ctrl+d")
    s.line(r"^KEYDOWN pane=C key=68 ", since=mark)
    expect(by_keys(s, "ctrl+o") == ("Probe", 1), "Ctrl+O after Ctrl+D")
    commands = s.program.matching(r"^MENU_COMMAND ", mark)
    expect(len(commands) == 1, "%d commands after Ctrl+D and Ctrl+O" % len(commands))
    s.finish()


def check_menu_popup(s):
    """A pop-up menu dismissed with Escape answers 0; one chosen with the keys its position."""
    s.activate("paneC")
    for keys, answer in ((("Escape",), "0"), (("Down", "Down", "Return"), "2")):
        mark = s.program.mark()
        s.keys_to("paneC", "u")
        s.line(r"^MENUITEM title=Pop index=1 ", since=mark)
        qpdrive.key(*keys)
        result = s.line(r"^POPUP result=(\d+)", since=mark).group(1)
        expect(result == answer, "%s answered %s" % (" ".join(keys), result))
    expect(not s.program.matching(r"^MENU_COMMAND ", 0), "the pop-up's choice reached the frame")
    s.finish()


def check_menu_about_and_exit(s):
    """The about item opens the about window in mode 1; File, Exit ends the probe with code 0."""
    s.activate("paneC")
    items = open_menu(s, "&Help")
    mark = s.program.mark()
    qpdrive.click(*items[0][1].centre)
    s.line(r"^ABOUT mode=1$", since=mark)
    items = open_menu(s, "&File")
    qpdrive.click(*items[0][1].centre)
    code = s.program.wait_exit()
    expect(code == 0, "exit code %d" % code)
    s.line(r"^EXIT code=0")
# --- the progress window (the probe's loaders: tests/toolkit/probe/progress_scenarios.cpp) ---

BAR_COLOURS = {(0xCC, 0xCC, 0xFF), (0x45, 0x45, 0x45)}
PICTURE_COLOUR = (0xFF, 0xCC, 0x00)
LOAD_END = r"^LOAD end result=(-?\d+) steps=(\d+) frame_enabled=(\d) window_up=(\d)"


def start_load(s, key):
    """Presses the key in pane A; the progress window's targets once it is shown."""
    s.activate("paneA")
    mark = s.program.mark()
    s.keys_to("paneA", key)
    return qpdrive.parse_targets(s.line(r"^PROGRESS window=", since=mark).string), mark


def expect_stopped(s, mark, end):
    """The load ended stopped (-2) in the step whose pump took the input, the window went, the
    frame is enabled again, and "Finished loading." never appeared."""
    expect(end.group(1) == "-2", "the load ended with %s" % end.group(1))
    expect(int(end.group(2)) < 200, "all %s steps ran" % end.group(2))
    expect((end.group(3), end.group(4)) == ("1", "0"),
           "frame enabled %s, progress window up %s" % (end.group(3), end.group(4)))
    expect(not s.program.matching(r"^PROGRESS_MESSAGE text=Finished loading\.", mark), "Finished loading. shown")
    stops = [int(m.group(1)) for m in s.program.matching(r"^LOAD step=(\d+) result=1", mark)]
    expect(stops == [int(end.group(2))], "stopped steps %r, the load ended after step %s" % (stops, end.group(2)))


def stop_step_matches_input(s, mark, message):
    inputs = s.program.matching(r"^INPUT message=%s key=\d+ step=(\d+)" % message, mark)
    expect(inputs, "no %s reached the progress window" % message)
    stopped = s.program.matching(r"^LOAD step=(\d+) result=1", mark)
    expect(stopped and stopped[0].group(1) == inputs[0].group(1),
           "the input came in step %s, the load stopped in step %s" % (
               inputs[0].group(1), stopped[0].group(1) if stopped else "none"))


def check_progress_cancel(s):
    """A click on Cancel ends the load in the step whose pump took it, with the stopped result;
    the window goes and the frame is enabled again, without "Finished loading."."""
    progress, mark = start_load(s, "l")
    qpdrive.click(*progress["button"].centre)
    end = s.line(LOAD_END, timeout=20)
    expect_stopped(s, mark, end)
    stop_step_matches_input(s, mark, "buttonup")
    s.finish()


def check_progress_credits(s):
    """With credits the window shows the picture; at the end "Finished loading." waits for OK,
    which Return presses; then the window goes and the load has ended normally."""
    _, mark = start_load(s, "c")
    credits = qpdrive.parse_targets(s.line(r"^CREDITS window=", since=mark).string)
    s.line(r"^PROGRESS_MESSAGE text=Finished loading\.$", timeout=20)
    window = credits["window"].rect
    shot = qpdrive.Screenshot()
    area = (window[2] - window[0]) * (window[3] - window[1])
    gold = area - len(shot.differing(window, PICTURE_COLOUR))
    expect(gold >= 120 * 40, "%d pixels of the credits picture on the screen" % gold)
    expect(not s.program.matching(r"^LOAD end", mark), "the load ended before OK")
    s.keys_to_dialog(credits["window"], "Return")
    end = s.line(LOAD_END)
    expect(end.groups() == ("0", "200", "1", "0"), "the load ended %r" % (end.groups(),))
    s.finish()


def check_progress_frame_refuses_close(s):
    """WM_CLOSE to the frame during the load is refused and the load goes on; WM_CLOSE to the
    progress window presses its Cancel button."""
    progress, mark = start_load(s, "l")
    _, exists = s.send_message(s.targets["frame"].hwnd, WM_CLOSE)
    expect(exists == 1, "WM_CLOSE destroyed the frame during the load")
    expect(not s.program.matching(r"^LOAD end", mark), "the load ended on WM_CLOSE to the frame")
    after = s.program.mark()
    s.line(r"^LOAD step=\d+ result=0", since=after)
    s.send_message(progress["window"].hwnd, WM_CLOSE)
    end = s.line(LOAD_END, timeout=20)
    expect_stopped(s, mark, end)
    s.finish()


def check_progress_nested_stage(s):
    """A stage that opens and finishes inside the load leaves the outer window up, and Escape
    still cancels the load."""
    progress, mark = start_load(s, "s")
    stage = s.line(r"^STAGE end opened=(-?\d+) window_up=(\d)", timeout=20)
    expect(stage.groups() == ("-1", "1"), "the stage ended with %r" % (stage.groups(),))
    s.keys_to_dialog(progress["window"], "Escape")
    end = s.line(LOAD_END, timeout=20)
    expect_stopped(s, mark, end)
    stop_step_matches_input(s, mark, "keydown")
    s.finish()


def bar_pixels(rect):
    shot = qpdrive.Screenshot()
    left, top, right, bottom = rect
    return sum(1 for y in range(top, bottom) for x in range(left, right) if shot.pixel(x, y) in BAR_COLOURS)


def check_progress_alert_above(s):
    """An alert raised during the load covers the progress window; once it is dismissed the
    frame stays disabled under the progress window, whose bar shows again."""
    progress, mark = start_load(s, "e")
    alert, frame_enabled = s.dialog_up(2, since=mark)
    expect(frame_enabled == 0, "the frame is enabled under the alert")
    bar = progress["bar"].rect
    expect(bar_pixels(bar) == 0, "the progress bar shows through the alert")
    s.keys_to_dialog(alert, "Return")
    expect(s.line(r"^ALERT_DONE frame_enabled=(\d)").group(1) == "0", "the frame was enabled by the alert")
    s.line(r"^LOAD step=\d+ result=0")
    expect(bar_pixels(bar) > 0, "the progress bar is not on the screen after the alert")
    qpdrive.click(*progress["button"].centre)
    expect_stopped(s, mark, s.line(LOAD_END, timeout=20))
# --- the button panel scenario (tests/toolkit/probe/panel_scenarios.cpp) ---

FONT_SOURCE = os.path.join(HERE, "..", "..", "..", "resources", "fonts", "btnfnt.txt")
GLYPH_SIZE = 16
PRESSED_GLYPH = (255, 255, 64)
# A button held longer than 30 ticks of 16 ms pops its sub-panel up.
SUB_PANEL_DELAY_MS = 30 * 16


def glyph_rows(code):
    """The 16 rows of a glyph of the button font, '#' for ink."""
    with open(FONT_SOURCE) as source:
        lines = source.read().splitlines()
    start = next(i for i, line in enumerate(lines) if line.split()[:2] == ["glyph", str(code)])
    return lines[start + 1:start + 1 + GLYPH_SIZE]


def sub_panel_mark(cell):
    """The points of the right-pointing mark of a cell that owns a sub-panel."""
    _, _, right, bottom = cell.rect
    tip, middle = right - 4, bottom - 6
    return {(tip - k, middle + d) for k in range(3) for d in range(-k, k + 1)}


def glyph_mismatches(shot, cell, code, pressed):
    """The points of the cell's glyph box whose pixels do not show the glyph: ink where the glyph
    has '#' (black, or yellow with the pressed glyph one pixel right and down), none elsewhere
    but on the sub-panel mark."""
    left, top, right, bottom = cell.rect
    x0 = left + ((right - 1 - left - GLYPH_SIZE) >> 1) + pressed
    y0 = ((top + bottom - 11) >> 1) - 3 + pressed
    ink = PRESSED_GLYPH if pressed else (0, 0, 0)
    mark = sub_panel_mark(cell)
    return [(x0 + column, y0 + row) for row, text in enumerate(glyph_rows(code))
            for column, pixel in enumerate(text)
            if (x0 + column, y0 + row) not in mark
            and (pixel == "#") != (shot.pixel(x0 + column, y0 + row) == ink)]


def wait_glyph(cell, code, pressed, timeout=5.0):
    deadline = time.monotonic() + timeout
    while True:
        wrong = glyph_mismatches(qpdrive.Screenshot(), cell, code, pressed)
        if not wrong:
            return
        if time.monotonic() > deadline:
            raise AssertionError("glyph %d (pressed %d) not shown at %r: %d pixels differ, e.g. %r" % (
                code, pressed, cell.rect, len(wrong), wrong[:4]))
        time.sleep(0.1)


def open_panel(s):
    """'p' in pane A opens the panel window; its cells' targets."""
    s.activate("paneA")
    mark = s.program.mark()
    s.keys_to("paneA", "p")
    cells = qpdrive.parse_targets(s.line(r"^PANEL_READY ", since=mark).string)
    wait_glyph(cells["cell2"], 160, 0)
    return cells


def check_panel_sub_panel(s):
    """Holding the cell that owns a sub-panel pops it up after the delay; dragging to another
    cell of the sub-panel and releasing there gives the cell that glyph."""
    cells = open_panel(s)
    mark = s.program.mark()
    qpdrive.move_to(*cells["cell2"].centre)
    qpdrive.button_down(1)
    pressed = s.line(r"^PANEL_PRESS i=2 glyph=160 t=(\d+)", since=mark)
    popup = s.line(r"^PANEL_POPUP t=(\d+) ")
    held = int(popup.group(1)) - int(pressed.group(1))
    expect(held >= SUB_PANEL_DELAY_MS, "the sub-panel popped up after %d ms" % held)
    subs = qpdrive.parse_targets(popup.string)
    qpdrive.move_to(*subs["sub1"].centre)
    qpdrive.button_up(1)
    s.line(r"^PANEL_PRESS i=2 glyph=162 ")
    s.line(r"^PANEL_POPDOWN glyph=162$")
    wait_glyph(cells["cell2"], 162, 1)
    s.finish()


def check_panel_short_hold_and_release_outside(s):
    """A short hold of the cell opens nothing; a press dragged off the panel and released there
    clicks -1."""
    cells = open_panel(s)
    mark = s.program.mark()
    qpdrive.click(*cells["cell2"].centre)
    s.line(r"^PANEL_CLICK i=2$", since=mark)
    time.sleep(1.0)
    expect(not s.program.matching(r"^PANEL_POPUP ", mark), "a short hold popped the sub-panel up")
    wait_glyph(cells["cell2"], 160, 0)

    mark = s.program.mark()
    qpdrive.move_to(*cells["cell0"].centre)
    qpdrive.button_down(1)
    s.line(r"^PANEL_PRESS i=0 ", since=mark)
    qpdrive.move_to(*s.point("paneC"))
    s.line(r"^PANEL_TRACK i=-1 old=0$")
    qpdrive.button_up(1)
    s.line(r"^PANEL_CLICK i=-1$")
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
