"""How soon the player ends a model's read when its user stops it from the loading window (the
driver of tools/cancel_bench; run that, not this).

    cancel_timing.py RUN_IN_DESKTOP PLAYER MOMENTS MODEL...

For each model the player (the test build, which logs what it shows) starts on a desktop of its
own with the model on its command line, and the time its read takes is taken from the loading
window's first line ("progress Reading: ...") to what ends it: the model's pane, the reader's
alert or the "Finished loading." notice. Then the model is opened again through File > Open, once
for each way of stopping a read in turn: a click on Cancel, Escape and Alt+F4 on the loading
window, each at the moments given (MOMENTS: a comma-separated list of "early", 0.2 s after the
loading window came; "middle", half the read's time; "late", 0.3 s before its end, in the work at
the end of the read for the models whose relations are worked out last; or seconds). For each it
prints the time from the key (before xdotool is called) to the alert in the log, or what came
instead: the model loaded ("LOST"), or the read ended before the key could come ("ended first").
After each alert, Return closes it and the next File > Open shows that the program answers its
menus (the time from the alert's close to the Open dialog is printed too: the model read so far
is freed meanwhile). Then the model is read once more through File > Open, to its end, and the
time that read took is printed beside the first; File > Exit ends the program. The last line sums it up: the slowest stop, and how many
were lost or slower than 0.5 s.
"""

import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import qpdrive  # noqa: E402
from qpdrive import DriveError  # noqa: E402

CAPTION = "Tamrix Player"
FINISHED = "Finished loading."
ABOUT = r"^about (?:short|box) -?\d+ (-?\d+),(-?\d+),(-?\d+),(-?\d+)$"
READING = r"^progress Reading: "
END = r"^(pane .*|alert .*|progress %s)$" % re.escape(FINISHED)
# The loading window's close, with 1 for a read that was stopped.
CLOSED = r"^progress-closed ([01])$"
# A read may take long; a step (a dialog, a key's effect) not.
LOAD_SECONDS = 300
STEP_SECONDS = 30
# The Cancel button's middle from the loading window's bottom right corner: the button lies 13
# pixels in from the client area's right and bottom edges, 61 x 28 pixels, inside a border of the
# windoid's frame.
CANCEL_FROM_RIGHT = 46
CANCEL_FROM_BOTTOM = 30
# When "early" presses, in seconds after the loading window came; "late" presses 0.3 s before
# the read's end, and no later than 85 % of the way. A read quicker than QUICKEST is not stopped.
EARLY = 0.2
BEFORE_END = 0.3
LATE_SHARE = 0.85
QUICKEST = 0.4
# A loading window that closed this soon after xdotool handed the key to the display closed before
# the key could reach it.
KEY_DELIVERY = 0.05
# What a stop may take at most, from the key to the alert.
GOAL = 0.5
INPUTS = ("cancel", "Escape", "alt+F4")


class Player:
    def __init__(self, launcher, player, model):
        self.before = set(qpdrive.visible_windows())
        desktop = qpdrive.Desktop(launcher)
        self.program = qpdrive.Program(player, qpdrive.windows_path(model), desktop=desktop, timeout=1800)
        try:
            left, top, right, bottom = (int(v) for v in self.program.wait_line(ABOUT, STEP_SECONDS).groups())
            qpdrive.move_to((left + right) // 2, (top + bottom) // 2)
            qpdrive.key("shift")
            self.program.wait_line(r"^about-closed ", STEP_SECONDS)
        except BaseException:
            self.program.close()
            raise
        self.frame = None

    def close(self):
        self.program.close()

    def windows(self):
        return [w for w in qpdrive.visible_windows().values() if w.xid not in self.before]

    def frame_window(self):
        if self.frame is None:
            deadline = time.monotonic() + STEP_SECONDS
            while True:
                framed = [w for w in self.windows() if w.name.startswith(CAPTION)]
                if framed:
                    self.frame = max(framed, key=lambda w: (w.rect[2] - w.rect[0]) * (w.rect[3] - w.rect[1]))
                    break
                if time.monotonic() > deadline:
                    raise DriveError("the player's frame is not on the screen")
                time.sleep(0.1)
        return self.frame

    def new_window(self, seen, what, wanted=lambda w: True, seconds=0):
        frame = self.frame_window().xid
        deadline = time.monotonic() + (seconds or STEP_SECONDS)
        while True:
            fresh = [w for w in self.windows() if w.xid != frame and w.xid not in seen and wanted(w)]
            if fresh:
                return fresh[-1]
            if time.monotonic() > deadline:
                raise DriveError("no %s came up; last lines:\n%s" % (what, "\n".join(self.program.lines[-10:])))
            time.sleep(0.02)

    def shown(self):
        return {w.xid for w in self.windows()}

    def keys_to(self, window, *keys):
        qpdrive.move_to(*window.centre)
        qpdrive.key(*keys)

    def finish(self, since):
        """What ended a read whose loading window came at `since` (a log mark): "alert", "loaded"
        or "finished" (the credits' notice), and when its line came."""
        match = self.program.wait_line(END, LOAD_SECONDS, since)
        outcome = match.group(1).split()[0]
        return {"pane": "loaded", "alert": "alert"}.get(outcome, "finished"), self.program.found_at()

    def dismiss(self, seen, outcome, since, closable=0):
        """Closes what ended the read whose lines began at `since`: its alerts with Return, one
        after another up to the model reader's own, which comes last (a picture's reader first
        says why it refused the picture), or the notice with Return and then the alerts that may
        follow it. A key that came as the read ended may have closed its alert itself: the
        alert then is not waited for more than `closable` seconds."""
        if outcome == "finished":
            # The notice is the loading window itself, turned.
            notice = self.new_window(set(), "notice", lambda w: w.name.startswith(CAPTION))
            self.keys_to(notice, "Return")
            qpdrive.wait_window_gone(notice.xid, STEP_SECONDS)
            outcome = self.program.wait_line(r"^(pane|alert) ", STEP_SECONDS).group(1)
            outcome = "loaded" if outcome == "pane" else "alert"
        dismissed = 0
        deadline = time.monotonic() + STEP_SECONDS
        while outcome == "alert":
            alerts = self.program.matching(r"^alert (.*)$", since)
            if len(alerts) <= dismissed:
                if time.monotonic() > deadline:
                    raise DriveError("no alert after %r" % alerts[-1].group(1))
                time.sleep(0.02)
                continue
            try:
                alert = self.new_window(seen, "alert", seconds=closable)
            except DriveError:
                if not closable:
                    raise
                # The key that came as the read ended closed its alert.
                break
            self.keys_to(alert, "Return")
            qpdrive.wait_window_gone(alert.xid, STEP_SECONDS)
            dismissed += 1
            deadline = time.monotonic() + STEP_SECONDS
            if alerts[dismissed - 1].group(1).startswith("Error in loading file"):
                break

    def open_by_menu(self, model):
        """Ctrl+O, OK to the question when a model is open, the path and Return: the log's mark
        before the loading window, and how long the Open dialog took to come."""
        seen = self.shown()
        mark = self.program.mark()
        asked = time.monotonic()
        self.keys_to(self.frame_window(), "ctrl+o")
        deadline = time.monotonic() + STEP_SECONDS
        answered = False
        while True:
            if not answered and self.program.matching(r"^question ", mark):
                question = self.new_window(seen, "question")
                self.keys_to(question, "Return")
                qpdrive.wait_window_gone(question.xid, STEP_SECONDS)
                answered = True
            dialog = next((w for w in self.windows() if w.xid not in seen and w.name == "Open"), None)
            if dialog:
                break
            if time.monotonic() > deadline:
                raise DriveError("no Open dialog came up; windows %r; last lines:\n%s" % (
                    self.windows(), "\n".join(self.program.lines[-10:])))
            time.sleep(0.02)
        came = time.monotonic() - asked
        qpdrive.move_to(*dialog.centre)
        qpdrive.type_text(qpdrive.windows_path(model))
        mark = self.program.mark()
        qpdrive.key("Return")
        return mark, came

    def exit_by_menu(self):
        self.keys_to(self.frame_window(), "alt+f")
        qpdrive.key("e")
        self.program.wait_line(r"^exit 0$", STEP_SECONDS)


def press(player, window, how):
    """Stops the read from its loading window, where it stands now (it grows as it shows a
    model's credits): the times just before the key and once xdotool has handed it to the
    display (40 to 50 ms later on a busy machine)."""
    window = qpdrive.XWindow(window.xid, window.name, qpdrive.window_rect(window.xid) or window.rect)
    if how == "cancel":
        qpdrive.move_to(window.rect[2] - CANCEL_FROM_RIGHT, window.rect[3] - CANCEL_FROM_BOTTOM)
        pressed = time.monotonic()
        qpdrive.xdotool("click", 1)
    else:
        qpdrive.move_to(*window.centre)
        pressed = time.monotonic()
        qpdrive.key(how)
    return pressed, time.monotonic()


def moment_seconds(moment, read):
    if moment == "early":
        return EARLY
    if moment == "middle":
        return read / 2
    if moment == "late":
        return max(EARLY, min(read - BEFORE_END, LATE_SHARE * read))
    return float(moment)


def start_player(launcher, player, model):
    """The player started with the model on its command line, once its read has ended and what
    ended it was closed: the Player and the read's time (None when the model was refused before
    any read, the player then ended)."""
    p = Player(launcher, player, model)
    try:
        start = p.program.wait_line(READING + "|^open-refused ", LOAD_SECONDS, 0)
        if start.group(0).startswith("open-refused"):
            p.exit_by_menu()
            p.close()
            return None, None
        began = p.program.found_at()
        seen = p.shown()
        since = p.program.cursor
        outcome, ended = p.finish(since)
        p.dismiss(seen, outcome, since)
    except BaseException:
        p.close()
        raise
    return p, (ended - began, outcome)


def read_again(p, model):
    """Opens the model through File > Open and lets its read end: its time and what ended it."""
    mark, _ = p.open_by_menu(model)
    p.program.wait_line(READING, STEP_SECONDS, mark)
    began = p.program.found_at()
    seen = p.shown()
    outcome, ended = p.finish(mark)
    p.dismiss(seen, outcome, mark)
    return ended - began, outcome


def time_model(launcher, player, model, moments):
    """The stops of one model: a list of (how, moment, outcome, seconds)."""
    name = os.path.basename(model)
    results = []
    p, plain = start_player(launcher, player, model)
    if not p:
        print("%s: refused before any read" % name, flush=True)
        return results
    try:
        read, outcome = plain
        print("%s: read %.2f s, %s" % (name, read, outcome), flush=True)
        answered = None
        if read < QUICKEST:
            print("  read before a key could stop it", flush=True)
            moments = []
        for moment in moments:
            for how in INPUTS:
                # Alt+F4 that came after the read had ended closed the player's frame.
                if not p.program.running() or p.program.first_since(r"^exit ", 0)[0]:
                    p.close()
                    p, _ = start_player(launcher, player, model)
                mark, came = p.open_by_menu(model)
                if answered is not None:
                    answered = max(answered, came)
                else:
                    answered = came
                p.program.wait_line(READING, STEP_SECONDS, mark)
                began = p.program.found_at()
                at = moment_seconds(moment, read)
                # The loading window: the program's newest window but the frame, once it is up.
                window = p.new_window(set(), "loading window", lambda w: w.name.startswith(CAPTION))
                shown = p.shown()
                wait = began + at - time.monotonic()
                if wait > 0:
                    time.sleep(wait)
                if p.program.first_since(END, mark)[0] or p.program.first_since(CLOSED, mark)[0]:
                    results.append((how, moment, "ended first", None))
                    print("  %-7s %-7s at %.2f s: the read ended first" % (how, moment, at), flush=True)
                    outcome, _ = p.finish(mark)
                    p.dismiss(shown, outcome, mark)
                    continue
                pressed, sent = press(p, window, how)
                outcome, came_at = p.finish(mark)
                closed, closed_at = p.program.first_since(CLOSED, mark)
                took = came_at - pressed
                if closed and closed.group(1) == "1" and outcome == "alert":
                    results.append((how, moment, "stopped", took))
                elif (closed_at or came_at) < sent + KEY_DELIVERY:
                    results.append((how, moment, "ended with the key (%s)" % outcome, None))
                else:
                    results.append((how, moment, "LOST (%s, the loading window closed %.0f ms after the key)"
                                    % (outcome, 1000 * ((closed_at or came_at) - pressed)), took))
                print("  %-7s %-7s at %.2f s: %s, %.0f ms" % (how, moment, at, results[-1][2], 1000 * took), flush=True)
                stopped = results[-1][2] == "stopped"
                p.dismiss(shown, outcome, mark, closable=0 if stopped else 2)
                if how == "alt+F4" and not stopped:
                    # Past the read, Alt+F4 may have reached the frame: the player ends.
                    try:
                        p.program.wait_line(r"^exit ", 2, mark)
                    except DriveError:
                        pass
        if not p.program.running() or p.program.first_since(r"^exit ", 0)[0]:
            p.close()
            p, _ = start_player(launcher, player, model)
        again, outcome = read_again(p, model)
        print("  read again in the same player %.2f s, %s" % (again, outcome), flush=True)
        p.exit_by_menu()
        if answered is not None:
            print("  the Open dialog came within %.2f s of the key each time" % answered, flush=True)
    finally:
        p.close()
    return results


def main():
    if len(sys.argv) < 5:
        print(__doc__, file=sys.stderr)
        return 2
    launcher, player, moments = sys.argv[1], sys.argv[2], sys.argv[3].split(",")
    models = sys.argv[4:]
    everything = []
    failures = []
    for model in models:
        try:
            everything += time_model(launcher, player, model, moments)
        except (AssertionError, DriveError) as error:
            failures.append("%s: %s" % (os.path.basename(model), error))
            print("%s: FAILED %s" % (os.path.basename(model), error), flush=True)
    timed = [r[3] for r in everything if r[3] is not None]
    lost = [r for r in everything if r[2].startswith("LOST")]
    slow = [t for t in timed if t > GOAL]
    print("stops %d, slowest %.0f ms, median %.0f ms, lost %d, slower than %.1f s %d, failed models %d" % (
        len(timed), 1000 * max(timed, default=0), 1000 * sorted(timed)[len(timed) // 2] if timed else 0,
        len(lost), GOAL, len(slow), len(failures)))
    return 1 if lost or slow or failures else 0


if __name__ == "__main__":
    sys.exit(main())
