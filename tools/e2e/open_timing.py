"""How long the player takes to open a model as a person opens it, against how long the reader
takes to read the same file (the driver of tools/open_bench; run that, not this).

    open_timing.py RUN_IN_DESKTOP PLAYER QMDL_INFO RUNS MODEL...

For each model: qmdl-info reads it RUNS times (the time on the clock from its start to its end);
then RUNS times the player (the test build, which logs what it shows) starts on a desktop of
its own without a model, its about window is closed with a key and the Open dialog of the
start with Escape, File > Open is chosen with the keys, the model's path typed into the Open
dialog, and the time taken from the press of Return to the model's first frame in the log; then
Alt+F4 closes the player, and the time from the key to the end of its process is taken.
Prints the median of each, the open's ratio to the read, and the player's slowest open.
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


def open_and_close_seconds(launcher, player, model, run):
    """Return in the Open dialog to the model's first frame, in the player started afresh, and
    Alt+F4 to the end of its process."""
    before = set(qpdrive.visible_windows())
    desktop = qpdrive.Desktop(launcher, "qp-open-bench-%d-%d" % (os.getpid(), run))
    with qpdrive.Program(player, desktop=desktop, timeout=LOAD_SECONDS + 4 * STEP_SECONDS) as program:
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
        # Alt+F4, the pointer on the model's frame.
        qpdrive.move_to(*frame.centre)
        start = time.monotonic()
        qpdrive.key("alt+F4")
        program.wait_exit(LOAD_SECONDS)
        closed = time.monotonic() - start
    return opened, closed


def main():
    if len(sys.argv) < 6:
        print("usage: open_timing.py RUN_IN_DESKTOP PLAYER QMDL_INFO RUNS MODEL...", file=sys.stderr)
        return 2
    launcher, player, info, runs = sys.argv[1:5]
    runs = int(runs)
    models = sys.argv[5:]
    print("%-30s %8s %8s %8s %10s %8s" % ("model, %d runs" % runs, "read s", "open s", "x read", "open max s",
                                           "close s"))
    for model in models:
        reads = [read_seconds(info, model) for _ in range(runs)]
        runs_taken = [open_and_close_seconds(launcher, player, model, run) for run in range(runs)]
        opens = [opened for opened, _ in runs_taken]
        read, opened = statistics.median(reads), statistics.median(opens)
        closed = statistics.median(closed for _, closed in runs_taken)
        print("%-30s %8.2f %8.2f %8.2f %10.2f %8.2f" % (os.path.basename(model), read, opened, opened / read, max(opens),
                                                        closed))
        sys.stdout.flush()
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except DriveError as error:
        print("open_bench: %s" % error, file=sys.stderr)
        sys.exit(1)
