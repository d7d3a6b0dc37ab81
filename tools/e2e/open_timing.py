"""How long the player takes to open a model as a person opens it, against how long the reader
takes to read the same file (the driver of tools/open_bench; run that, not this).

    open_timing.py RUN_IN_DESKTOP PLAYER QMDL_INFO RUNS CLICKS MAXIMIZED MODEL...

For each model: qmdl-info reads it RUNS times (the time on the clock from its start to its end);
then RUNS times the player (the test build, which logs what it shows) starts on a desktop of
its own without a model, its about window is closed with a key and the Open dialog of the
start with Escape; with MAXIMIZED 1 the frame is maximized with a double click on its caption;
File > Open is chosen with the keys, the model's path typed into the Open dialog, and the time
taken from the press of Return to the model's first frame in the log; then CLICKS times a click
in the view (beside the cross hair, where it takes a step), each timed to the next frame in the
log, the frames it brings waited out before the next; then Alt+F4 closes the player, and the time
from the key to the end of its process is taken. Prints the median of each, the open's ratio to
the read, the slowest open, step and close, and the size of the view the frames were drawn at;
a model the player does not open or step through in time is named with what it did not do.
"""

import os
import re
import statistics
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import qpdrive  # noqa: E402
from qpdrive import DriveError  # noqa: E402

CAPTION = "Tamrix Player"
ABOUT = r"^about (?:short|box) -?\d+ (-?\d+),(-?\d+),(-?\d+),(-?\d+)$"
FRAME = r"^frame \d+ "
PANE = r"^pane (-?\d+),(-?\d+),(-?\d+),(-?\d+) size (\d+)x(\d+)"
# The click's place from the cross hair, as shares of the view's width and height: a step of a
# turn and a walk.
CLICK_ACROSS = 0.2
CLICK_DOWN = 0.1
# The longest a step may take before the run counts as failed (a load is given far longer).
STEP_SECONDS = 30
LOAD_SECONDS = 300


def new_window(before, wanted, what):
    """The first mapped top-level window not in `before` that `wanted` accepts."""
    deadline = time.monotonic() + STEP_SECONDS
    while True:
        found = [w for w in qpdrive.visible_windows().values() if w.xid not in before and wanted(w)]
        if found:
            return found[-1]
        if time.monotonic() > deadline:
            raise DriveError("no %s came up in %d s" % (what, STEP_SECONDS))
        time.sleep(0.05)


def read_seconds(info, model):
    """qmdl-info's run on the model, from its start to its end."""
    start = time.monotonic()
    report = qpdrive.run_helper(info, qpdrive.windows_path(model), timeout=LOAD_SECONDS)
    taken = time.monotonic() - start
    if not re.search(r"^result: 0\r?$", report, re.M):
        raise DriveError("qmdl-info did not read %s:\n%s" % (model, report))
    return taken


def maximize(frame):
    """Maximizes the frame with a double click on its caption; the frame as it then stands."""
    qpdrive.move_to((frame.rect[0] + frame.rect[2]) // 2, frame.rect[1] + 8)
    qpdrive.xdotool("click", "--repeat", 2, "--delay", 80, 1)
    width, height = qpdrive.display_size()
    deadline = time.monotonic() + STEP_SECONDS
    while True:
        grown = qpdrive.visible_windows().get(frame.xid)
        if grown and grown.rect[0] <= 0 and grown.rect[1] <= 0 and grown.rect[2] >= width and grown.rect[3] >= height:
            return grown
        if time.monotonic() > deadline:
            raise DriveError("the frame was not maximized in %d s: %r" % (STEP_SECONDS, grown))
        time.sleep(0.1)


def quiet(program, seconds):
    """Waits until no frame has come for `seconds`."""
    deadline = time.monotonic() + LOAD_SECONDS
    while True:
        mark = program.mark()
        time.sleep(seconds)
        if not program.matching(FRAME, mark):
            return
        if time.monotonic() > deadline:
            raise DriveError("frames keep coming after %d s" % LOAD_SECONDS)


def open_and_close_seconds(launcher, player, model, run, clicks, maximized):
    """Return in the Open dialog to the model's first frame, in the player started afresh; each
    click in the view to the next frame; Alt+F4 to the end of its process; the view's size."""
    before = set(qpdrive.visible_windows())
    desktop = qpdrive.Desktop(launcher, "qp-open-bench-%d-%d" % (os.getpid(), run))
    with qpdrive.Program(player, desktop=desktop, timeout=LOAD_SECONDS * (2 + clicks)) as program:
        left, top, right, bottom = (int(v) for v in program.wait_line(ABOUT, STEP_SECONDS).groups())
        qpdrive.move_to((left + right) // 2, (top + bottom) // 2)
        qpdrive.key("shift")
        program.wait_line(r"^about-closed ", STEP_SECONDS)
        # Started without a model, the player asks for one at once: not this time.
        dialog = new_window(before, lambda w: w.name == "Open", "Open dialog at the start")
        qpdrive.move_to(*dialog.centre)
        qpdrive.key("Escape")
        qpdrive.wait_window_gone(dialog.xid)
        frame = new_window(before, lambda w: w.name.startswith(CAPTION), "player window")
        if maximized:
            frame = maximize(frame)
        qpdrive.move_to(*frame.centre)
        qpdrive.key("alt+f", "o")
        dialog = new_window(before, lambda w: w.name == "Open", "Open dialog of File > Open")
        qpdrive.move_to(*dialog.centre)
        qpdrive.type_text(qpdrive.windows_path(model))
        mark = program.mark()
        start = time.monotonic()
        qpdrive.xdotool("key", "Return")
        program.wait_line(FRAME, LOAD_SECONDS, since=mark)
        opened = time.monotonic() - start
        # The view's place is logged once the model's window is laid out, after its first frame.
        pane = program.wait_line(PANE, STEP_SECONDS, since=mark)
        pane_left, pane_top, pane_right, pane_bottom, width, height = (int(v) for v in pane.groups())
        steps = []
        for _ in range(clicks):
            quiet(program, max(0.5, 2 * (steps[-1] if steps else opened)))
            mark = program.mark()
            start = time.monotonic()
            qpdrive.click((pane_left + pane_right) // 2 + int(CLICK_ACROSS * width),
                          (pane_top + pane_bottom) // 2 + int(CLICK_DOWN * height))
            program.wait_line(FRAME, LOAD_SECONDS, since=mark)
            steps.append(time.monotonic() - start)
        # Alt+F4, the pointer on the model's frame.
        qpdrive.move_to(*frame.centre)
        start = time.monotonic()
        qpdrive.key("alt+F4")
        program.wait_exit(LOAD_SECONDS)
        closed = time.monotonic() - start
    return opened, steps, closed, "%dx%d" % (width, height)


def main():
    if len(sys.argv) < 8:
        print("usage: open_timing.py RUN_IN_DESKTOP PLAYER QMDL_INFO RUNS CLICKS MAXIMIZED MODEL...", file=sys.stderr)
        return 2
    launcher, player, info = sys.argv[1:4]
    runs, clicks, maximized = (int(v) for v in sys.argv[4:7])
    models = sys.argv[7:]
    row = "%-30s %8s %8s %8s %10s %8s %10s %8s %10s %10s"
    print(row % ("model, %d runs" % runs, "read s", "open s", "x read", "open max s", "step s", "step max s",
                 "close s", "close max s", "view"))
    failed = 0
    for model in models:
        try:
            reads = [read_seconds(info, model) for _ in range(runs)]
            runs_taken = [open_and_close_seconds(launcher, player, model, run, clicks, maximized)
                          for run in range(runs)]
        except DriveError as error:
            # A model the player cannot open in time is named, and the others measured still.
            print("%-30s %s" % (os.path.basename(model), str(error).splitlines()[0]))
            failed += 1
            continue
        opens = [opened for opened, _, _, _ in runs_taken]
        steps = [step for _, taken, _, _ in runs_taken for step in taken]
        closes = [closed for _, _, closed, _ in runs_taken]
        read, opened = statistics.median(reads), statistics.median(opens)
        print(row % (os.path.basename(model), "%.2f" % read, "%.2f" % opened, "%.2f" % (opened / read),
                     "%.2f" % max(opens), "%.2f" % statistics.median(steps) if steps else "-",
                     "%.2f" % max(steps) if steps else "-", "%.2f" % statistics.median(closes),
                     "%.2f" % max(closes), runs_taken[-1][3]))
        sys.stdout.flush()
    return 1 if failed else 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except DriveError as error:
        print("open_bench: %s" % error, file=sys.stderr)
        sys.exit(1)
