"""End-to-end checks of the player: the test build (QPlayerLogged.exe), which logs the facts it
shows on standard output, driven with real input under Wine on a desktop of its own, its pane's
pixels compared with render-frame's. Each check is one CTest test:

    player_e2e.py RUN_IN_DESKTOP PLAYER RENDER_FRAME SAMPLES HOSTILE WORK CHECK

SAMPLES holds the sample models (make-samples), HOSTILE the hostile ones (make-hostile-models),
WORK is a folder of the check's own files.
"""

import importlib
import math
import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "tools", "e2e"))
import qpdrive  # noqa: E402
from qpdrive import DriveError, expect  # noqa: E402

CAPTION = "Tamrix Player"
FINISHED = "Finished loading."
QUESTION = 'Opening another file will close "%s." Would you like to continue?'
# The registry value that switches direct pixel drawing.
FLASH_KEY = r"HKCU\Software\Tamrix\TamrixVR"

RECT = r"(-?\d+),(-?\d+),(-?\d+),(-?\d+)"
# An about window on the screen: its form ("short" or "box") and its client area.
ABOUT = r"^about (short|box) -?\d+ " + RECT + "$"
# The most the about window's frame adds to the width of its client area.
ABOUT_FRAME = 16
FRAME = (r"^frame (\d+) eye (-?\d+),(-?\d+),(-?\d+) angles (-?\d+),(-?\d+),(-?\d+) lens (-?\d+),(-?\d+) "
         r"options 0x([0-9A-Fa-f]+) flash ([01])")

# room.qpy: where its walk path starts (x, y, z and heading in 1/256 turns) and its points.
ROOM_PATH = [(0, -100, 66, 64), (0, -60, 66, 64), (20, -20, 66, 80), (40, 20, 66, 96),
             (20, 60, 66, 128), (-20, 60, 66, 160), (-40, 20, 66, 192), (0, -40, 66, 64)]

# The Walk menu's entries as they stand, separators left out.
WALK_ITEMS = ["Level Observer", "Wide Angle", "Standard", "Telephoto", "Normal Speed", "Fast", "Faster",
              "Fastest", "Stop", "Play"]
# The speeds: render words A and C.
SPEEDS = {"Normal Speed": (3, 7), "Fast": (11, 7), "Faster": (11, 4), "Fastest": (10, 0)}
# The observer options that words A and C decide.
SPEED_OPTION_BITS = 0x10 | 0x8 | 0x1000 | 0x2000 | 0x1 | 0x2 | 0x4


def speed_options(word_a, word_c):
    mask = 0
    mask |= 0x10 if word_a & 1 else 0
    mask |= 0x8 if word_a & 2 else 0
    mask |= 0x1000 if not word_a & 8 else 0
    mask |= 0x2000 if not word_a & 16 else 0
    mask |= word_c & 7
    return mask


class Frame:
    """A "frame" fact: the placement, lens, options and drawing switch of a frame on the screen."""

    def __init__(self, match):
        values = match.groups()
        self.number = int(values[0])
        self.eye = tuple(int(v) for v in values[1:4])
        self.angles = tuple(int(v) for v in values[4:7])
        self.lens = tuple(int(v) for v in values[7:9])
        self.options = int(values[9], 16)
        self.flash = int(values[10])

    def placement(self):
        return self.eye, self.angles

    def __repr__(self):
        return "frame %d eye %r angles %r lens %r options 0x%X flash %d" % (
            self.number, self.eye, self.angles, self.lens, self.options, self.flash)


class Environment:
    def __init__(self, launcher, player, render_frame, samples, hostile, work):
        self.launcher = launcher
        self.player = player
        self.render_frame = render_frame
        self.samples = samples
        self.hostile = hostile
        self.work = work

    def sample(self, name):
        return os.path.join(self.samples, name)


class Session:
    """The player started on a desktop of its own, with the windows it shows."""

    last = None  # the latest session, whose log a failed check shows

    def __init__(self, env, *args, command_line=None, name=None, timeout=120, close_about=True):
        """Starts the player; unless `close_about` is false, waits for the about window that
        every start shows and closes it with a key (the caller does that itself otherwise)."""
        self.env = env
        self.before = set(qpdrive.visible_windows())
        self.desktop = qpdrive.Desktop(env.launcher, name)
        self.program = qpdrive.Program(env.player, *args, desktop=self.desktop, timeout=timeout,
                                       command_line=command_line)
        self.pane = None
        self._frame_window = None
        Session.last = self
        if close_about:
            try:
                self.close_about(self.about_window())
            except BaseException:
                self.program.close()
                raise

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.program.close()
        return False

    def line(self, pattern, timeout=15.0, since=None):
        return self.program.wait_line(pattern, timeout, since)

    def frames(self, since=0, until=None):
        return [Frame(m) for m in self.program.matching(FRAME, since, until)]

    def next_frame(self, timeout=15.0, since=None):
        return Frame(self.line(FRAME, timeout, since))

    # --- the about window ---

    def about_window(self, since=None, timeout=30.0):
        """Waits for an about window to come up: its form and its client area on the screen."""
        match = self.line(ABOUT, timeout, since)
        return match.group(1), tuple(int(v) for v in match.groups()[1:])

    def about_windows(self, about):
        """The program's windows on the screen around the about window's client area."""
        _, (left, top, right, bottom) = about
        return [w for w in self.windows() if w.rect[0] <= left and w.rect[1] <= top and w.rect[2] >= right
                and w.rect[3] >= bottom and w.rect[2] - w.rect[0] <= right - left + ABOUT_FRAME]

    def close_about(self, about, timeout=10.0):
        """Closes the about window (as about_window gave it) with a key, the pointer moved onto
        it first, and waits until it has closed and left the screen."""
        form, (left, top, right, bottom) = about
        shown = self.about_windows(about)
        qpdrive.move_to((left + right) // 2, (top + bottom) // 2)
        qpdrive.key("shift")
        self.line(r"^about-closed %s$" % form, timeout)
        for window in shown:
            qpdrive.wait_window_gone(window.xid, timeout)

    # --- windows ---

    def windows(self):
        """The program's mapped windows, lowest first."""
        return [w for w in qpdrive.visible_windows().values() if w.xid not in self.before]

    def frame_window(self):
        """The frame: the largest of the program's windows captioned with the player's name."""
        if self._frame_window is None:
            def largest():
                framed = [w for w in self.windows() if w.name.startswith(CAPTION)]
                return max(framed, key=lambda w: (w.rect[2] - w.rect[0]) * (w.rect[3] - w.rect[1]), default=None)
            deadline = time.monotonic() + 15
            found = largest()
            while not found:
                if time.monotonic() > deadline:
                    raise DriveError("the player's frame is not on the screen: %r" % self.windows())
                time.sleep(0.1)
                found = largest()
            self._frame_window = found
        return self._frame_window

    def top_window(self, seen, what, timeout=15.0):
        """The topmost of the program's windows that is not the frame and was not in `seen`."""
        frame = self.frame_window().xid
        deadline = time.monotonic() + timeout
        while True:
            fresh = [w for w in self.windows() if w.xid != frame and w.xid not in seen]
            if fresh:
                return fresh[-1]
            if time.monotonic() > deadline:
                raise DriveError("no %s came up in %.1f s; windows: %r; last lines:\n%s" % (
                    what, timeout, self.windows(), "\n".join(self.program.lines[-10:])))
            time.sleep(0.1)

    def shown(self):
        return {w.xid for w in self.windows()}

    def keys_to(self, window, *keys):
        """Moves the pointer onto the window (an XWindow), then presses the keys."""
        qpdrive.move_to(*window.centre)
        qpdrive.key(*keys)

    def keys_to_frame(self, *keys):
        """Moves the pointer onto the pane (or the frame's middle without a model), then presses
        the keys."""
        if self.pane:
            # Beside the cross hair's lines: hovering takes no step while "Button Down" is on.
            x, y = self.cross_hair()
            qpdrive.move_to(x + 30, y + 30)
            qpdrive.key(*keys)
        else:
            self.keys_to(self.frame_window(), *keys)

    # --- the model ---

    def acknowledge_progress(self, since=None, told=False):
        """Waits for "Finished loading." in the progress window (unless `told` already) and
        closes it with Return. `since`: the windows shown before it (by default none: the model
        of the command line loads while the about window closes, and its progress window may be
        up already)."""
        seen = set() if since is None else since
        if not told:
            self.line(r"^progress %s$" % re.escape(FINISHED), timeout=30)
        progress = self.top_window(seen - {self.frame_window().xid}, "progress window")
        self.keys_to(progress, "Return")
        qpdrive.wait_window_gone(progress.xid)

    def wait_model(self, name, since=0):
        """After the progress window is closed: the title names the model, its pane is laid out
        and shows a frame; the latest frame."""
        self.line(r"^title %s - %s$" % (re.escape(CAPTION), re.escape(name)), since=since)
        start = self.program.cursor
        match = self.line(r"^pane " + RECT + r" size (\d+)x(\d+)", since=start)
        left, top, right, bottom, width, height = (int(v) for v in match.groups())
        expect((right - left, bottom - top) == (width, height),
               "pane rectangle %r against size %dx%d" % ((left, top, right, bottom), width, height))
        self.pane = (left, top, right, bottom)
        if not self.frames(start):
            self.next_frame(since=start)
        return self.frames(start)[-1]

    def open_at_start(self, name):
        """The model given on the command line: the progress window closed, the first frame."""
        self.acknowledge_progress()
        return self.wait_model(name)

    def cross_hair(self):
        left, top, right, bottom = self.pane
        return left + (right - left) // 2, top + (bottom - top) // 2

    def settle(self, quiet=0.6, timeout=15.0):
        """Waits until no frame has come for `quiet` seconds; the last frame."""
        deadline = time.monotonic() + timeout
        while True:
            count = len(self.frames())
            time.sleep(quiet)
            if len(self.frames()) == count:
                break
            if time.monotonic() > deadline:
                raise DriveError("frames keep coming after %.1f s" % timeout)
        return self.frames()[-1]

    def choose(self, menu_key, item_key):
        """A menu command by its keys (the menu's Alt key, then the item's letter) with the
        pointer on the pane."""
        self.keys_to_frame(menu_key)
        qpdrive.key(item_key)

    def exit_by_menu(self):
        """File > Exit: exit code 0, logged, and no process of the program left."""
        self.choose("alt+f", "e")
        self.line(r"^exit 0$")
        code = self.program.wait_exit(15)
        expect(code == 0, "exit code %d" % code)
        expect(self.program.group_ended(10), "a Wine process of the player is still running after Exit")


# --- pixels ---

class Bitmap:
    """A 32-bit BMP file as render-frame writes it."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        expect(data[:2] == b"BM", "%s is no BMP file" % path)
        self.offset = int.from_bytes(data[10:14], "little")
        self.width = int.from_bytes(data[18:22], "little", signed=True)
        self.height = int.from_bytes(data[22:26], "little", signed=True)
        bits = int.from_bytes(data[28:30], "little")
        expect(bits == 32 and self.height > 0, "%s: %d bits, height %d" % (path, bits, self.height))
        self.data = data

    def pixel(self, x, y):
        at = self.offset + ((self.height - 1 - y) * self.width + x) * 4
        blue, green, red = self.data[at:at + 3]
        return red, green, blue


def cross_hair_pixels(cx, cy):
    """The cross hair's pixels and their colours: black arms of 10, white tips of 3."""
    black, white = (0, 0, 0), (255, 255, 255)
    pixels = {}
    for d in range(-9, 10):
        pixels[(cx + d, cy)] = black
        pixels[(cx, cy + d)] = black
    for d in range(10, 13):
        for point in ((cx - d, cy), (cx + d, cy), (cx, cy - d), (cx, cy + d)):
            pixels[point] = white
    return pixels


def render_reference(s, model, frame, flash=None):
    """render-frame's picture of the model at the frame's size, placement, lens and options."""
    left, top, right, bottom = s.pane
    out = os.path.join(s.env.work, "reference-%d-%d.bmp" % (os.getpid(), frame.number))
    eye, angles = frame.placement()
    qpdrive.run_helper(s.env.render_frame, model, out, "--depth", 32, "--size", "%dx%d" % (right - left, bottom - top),
                       "--eye", "%d,%d,%d" % eye, "--angles", "%d,%d,%d" % angles, "--lens", "%d,%d" % frame.lens,
                       "--options", "0x%X" % frame.options, "--flash", frame.flash if flash is None else flash,
                       desktop=qpdrive.Desktop(s.env.launcher, "qp-render-%d" % os.getpid()), timeout=60)
    return Bitmap(out)


def pane_mismatches(s, shot, reference):
    """The pane's points whose screen pixels differ from what they must be: the cross hair's
    own colours on its points, black along the last row (the line under the copied frame),
    render-frame's picture everywhere else. Only the points on the screen count: a pane that
    fills the screen starts a pixel beyond its edge."""
    left, top, right, bottom = s.pane
    cx, cy = s.cross_hair()
    hair = cross_hair_pixels(cx, cy)
    wrong = []
    for y in range(max(top, 0), min(bottom, shot.height)):
        for x in range(max(left, 0), min(right, shot.width)):
            if (x, y) in hair:
                want = hair[(x, y)]
            elif y == bottom - 1:
                want = (0, 0, 0)
            else:
                want = reference.pixel(x - left, y - top)
            got = shot.pixel(x, y)
            if got != want:
                wrong.append(((x, y), got, want))
    return wrong


def expect_pane_shows(s, model, frame, flash=None, timeout=5.0):
    """The pane on the screen equals render-frame's picture of the frame (the cross hair apart)."""
    reference = render_reference(s, model, frame, flash)
    deadline = time.monotonic() + timeout
    while True:
        wrong = pane_mismatches(s, qpdrive.Screenshot(), reference)
        if not wrong:
            return
        if time.monotonic() > deadline:
            left, top, right, bottom = s.pane
            raise AssertionError("%d of %d pixels of the pane differ from render-frame at %r; e.g. %r" % (
                len(wrong), (right - left) * (bottom - top), frame, wrong[:6]))
        time.sleep(0.2)


def pane_picture(s):
    shot = qpdrive.Screenshot()
    left, top, right, bottom = s.pane
    return tuple(shot.pixel(x, y) for y in range(top, bottom, 4) for x in range(left, right, 4))


# --- the checks ---

def expect_pictures_while_playing(s, count=3, timeout=10.0):
    """Waits until the pane has shown `count` different pictures while the walk path plays."""
    pictures = set()
    deadline = time.monotonic() + timeout
    while len(pictures) < count:
        expect(time.monotonic() < deadline, "the pane showed %d pictures while the path played" % len(pictures))
        pictures.add(pane_picture(s))


def check_command_line_model(env):
    """room.qpy from the command line: the title names it, the progress window ends with
    "Finished loading." and Return closes it, the pane shows the model, File > Exit ends the
    program with exit code 0 and leaves no process behind."""
    with Session(env, qpdrive.windows_path(env.sample("room.qpy"))) as s:
        s.line(r"^title %s - room\.qpy$" % re.escape(CAPTION))
        s.acknowledge_progress()
        frame = s.wait_model("room.qpy")
        expect(frame.eye == (-112, -112, 90), "the first frame stands at %r" % (frame.eye,))
        s.exit_by_menu()


def check_path_with_spaces(env):
    """A path with spaces, unquoted, opens as the whole command line."""
    folder = os.path.join(env.work, "a folder with spaces")
    os.makedirs(folder, exist_ok=True)
    shutil.copyfile(env.sample("room.qpy"), os.path.join(folder, "my room.qpy"))
    with Session(env, command_line=qpdrive.windows_path(os.path.join(folder, "my room.qpy"))) as s:
        s.open_at_start("my room.qpy")
        s.exit_by_menu()


def check_forward_slashes(env):
    """A model named with "/" throughout, as Wine hands on a Linux path, in a folder of its own
    with its picture beside it: the caption names the model alone, and the pane shows its walls
    with their picture, as render-frame draws the model named with "\"."""
    folder = os.path.join(env.work, "slashed")
    os.makedirs(folder, exist_ok=True)
    for name in ("gallery.qpy", "gradient.bmp"):
        shutil.copyfile(env.sample(name), os.path.join(folder, name))
    gallery = os.path.abspath(os.path.join(folder, "gallery.qpy"))
    with Session(env, command_line=gallery) as s:
        # Without credits the progress window closes by itself.
        s.line(r"^progress-closed 0$", timeout=30)
        s.wait_model("gallery.qpy")
        frame = s.settle()
        expect_pane_shows(s, qpdrive.windows_path(gallery), frame)
        s.exit_by_menu()


def long_path_file(env, length):
    """A copy of shapes.qpy whose Windows path is `length` characters long."""
    base = qpdrive.windows_path(env.work)
    name = "cut.qpy"
    # Z:\work\ddd...\cut.qpy
    folder_length = length - len(base) - 2 - len(name)
    expect(0 < folder_length < 250, "cannot make a path of %d characters under %s" % (length, base))
    folder = os.path.join(env.work, "d" * folder_length)
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name)
    shutil.copyfile(env.sample("shapes.qpy"), path)
    expect(len(qpdrive.windows_path(path)) == length, "path of %d characters" % len(qpdrive.windows_path(path)))
    return path


def check_broken_command_lines(env):
    """Broken command lines end in the player window, never in a crash: an empty quoted pair, a
    lone quote at the end, a word longer than a path may be. A word of 260 characters or more
    is skipped, never cut: its first 259 characters name a model file, which stays closed, and
    the next word opens; an unclosed quote runs to the end of the text."""
    room = qpdrive.windows_path(env.sample("room.qpy"))
    with Session(env, command_line='"" ' + "y" * 300 + ' "') as s:
        s.line(r"^title %s - Untitled$" % re.escape(CAPTION))
        s.frame_window()
        s.exit_by_menu()
        expect(not s.program.matching(r"^(pane|progress) "), "a model opened")
    cut = qpdrive.windows_path(long_path_file(env, 259))
    with Session(env, command_line=cut + "zzz " + room) as s:
        s.open_at_start("room.qpy")
        expect(not s.program.matching(r"cut\.qpy"), "the long word was cut and opened")
        s.exit_by_menu()
    with Session(env, command_line='"' + room) as s:
        s.open_at_start("room.qpy")
        s.exit_by_menu()


def check_no_argument(env):
    """Without an argument the Open dialog comes up; Escape leaves the player window up."""
    with Session(env) as s:
        frame = s.frame_window()
        dialog = s.top_window(set(), "Open dialog")
        expect(dialog.name == "Open", "the dialog is captioned %r" % dialog.name)
        s.keys_to(dialog, "Escape")
        qpdrive.wait_window_gone(dialog.xid)
        time.sleep(0.5)
        expect(s.program.running(), "the player ended after the Open dialog")
        expect(frame.xid in qpdrive.visible_windows(), "the player window is gone")
        s.exit_by_menu()


def open_by_menu(s, path, answer="Return"):
    """Ctrl+O: the question when a model is open, answered with the key given (Return "OK",
    Escape "Cancel"); then, unless cancelled, the path typed into the Open dialog and Return.
    Where the log stood before, and the question's text (None when none was asked)."""
    seen = s.shown()
    mark = s.program.mark()
    s.keys_to_frame("ctrl+o")
    deadline = time.monotonic() + 15
    question = None
    while True:
        asked = s.program.matching(r"^question (.*)$", mark)
        if asked and question is None:
            question = asked[0].group(1)
            window = s.top_window(seen, "question")
            s.keys_to(window, answer)
            qpdrive.wait_window_gone(window.xid)
            if answer == "Escape":
                return mark, question
        dialog = next((w for w in s.windows() if w.xid not in seen and w.name == "Open"), None)
        if dialog:
            break
        if time.monotonic() > deadline:
            raise DriveError("neither the question nor the Open dialog came up; windows %r" % s.windows())
        time.sleep(0.1)
    qpdrive.move_to(*dialog.centre)
    qpdrive.type_text(qpdrive.windows_path(path))
    qpdrive.key("Return")
    qpdrive.wait_window_gone(dialog.xid)
    return mark, question


def check_open_by_menu(env):
    """Ctrl+O, a typed path and Return open another model after the question; Cancel on the
    question keeps the first."""
    with Session(env, qpdrive.windows_path(env.sample("room.qpy"))) as s:
        s.open_at_start("room.qpy")
        mark, question = open_by_menu(s, env.sample("shapes.qpy"))
        expect(question == QUESTION % "room.qpy", "the question: %r" % question)
        frame = s.wait_model("shapes.qpy", since=mark)
        mark, question = open_by_menu(s, env.sample("room.qpy"), "Escape")
        expect(question == QUESTION % "shapes.qpy", "the question: %r" % question)
        time.sleep(1.0)
        expect(not s.program.matching(r"^(progress|title|pane) ", mark), "the cancelled open went on")
        expect(s.frames()[-1].number >= frame.number, "no frame after the cancel")
        s.exit_by_menu()


def check_pane_pixels(env):
    """The pane's pixels are render-frame's at its size, placement, lens and options, and the
    cross hair's own."""
    room = env.sample("room.qpy")
    with Session(env, qpdrive.windows_path(room)) as s:
        frame = s.open_at_start("room.qpy")
        frame = s.settle()
        expect(frame.flash == 1, "the frame was drawn with the switch %d" % frame.flash)
        expect_pane_shows(s, room, frame)
        s.exit_by_menu()


def set_flash_switch(value):
    """The registry value "Flash" as a text, or the key deleted (None)."""
    if value is None:
        command = ["wine", "reg", "delete", FLASH_KEY, "/f"]
    else:
        command = ["wine", "reg", "add", FLASH_KEY, "/v", "Flash", "/t", "REG_SZ", "/d", value, "/f"]
    subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   env=qpdrive.wine_environment(), check=False, start_new_session=True, timeout=60)


def check_pane_pixels_switch_off(env):
    """With the registry switch off ("00"), the pane's pixels are render-frame's with --flash 0."""
    room = env.sample("room.qpy")
    set_flash_switch("00")
    try:
        with Session(env, qpdrive.windows_path(room)) as s:
            s.open_at_start("room.qpy")
            frame = s.settle()
            expect(frame.flash == 0, "the frame was drawn with the switch %d" % frame.flash)
            expect_pane_shows(s, room, frame, flash=0)
            s.exit_by_menu()
    finally:
        set_flash_switch(None)


def hold(s, button, point, steps=6, timeout=15.0):
    """Holds the button at the point until `steps` frames have come; the frames from the press
    until they stop after the release."""
    mark = s.program.mark()
    qpdrive.move_to(*point)
    qpdrive.button_down(button)
    try:
        deadline = time.monotonic() + timeout
        while len(s.frames(mark)) < steps:
            if time.monotonic() > deadline:
                raise DriveError("%d frames in %.1f s of holding button %d" % (len(s.frames(mark)), timeout, button))
            time.sleep(0.05)
    finally:
        qpdrive.button_up(button)
    s.settle()
    return s.frames(mark)


def moves(start, frames):
    """The eye's moves between the frames (repeated frames left out)."""
    steps = []
    last = start.eye
    for frame in frames:
        if frame.eye != last:
            steps.append(tuple(b - a for a, b in zip(last, frame.eye)))
            last = frame.eye
    return steps


def check_walking(env):
    """Holding the left button above the cross hair walks forward in steps of 8 with the angles
    unchanged, and the last frame is render-frame's at the final placement; the right button to
    the right of the cross hair slides across the walking direction."""
    room = env.sample("room.qpy")
    with Session(env, qpdrive.windows_path(room)) as s:
        s.open_at_start("room.qpy")
        start = s.settle()
        cx, cy = s.cross_hair()
        left, top, right, bottom = s.pane
        # Two rows above the centre (rows count from the centre, seven to the top edge): the
        # forward step of row 2 is 8.
        row_height = (cy - top) // 7
        frames = hold(s, 1, (cx, cy - 2 * row_height - row_height // 2))
        walked = moves(start, frames)
        expect(len(walked) >= 5, "only %d steps: %r" % (len(walked), frames))
        for frame in frames:
            expect(frame.angles == start.angles, "the angles changed from %r: %r" % (start.angles, frame))
        for dx, dy, dz in walked:
            expect(dz == 0 and 6 <= math.hypot(dx, dy) <= 10, "a step of %r" % ((dx, dy, dz),))
        final = frames[-1]
        expect_pane_shows(s, room, final)

        # Two cells to the right: the sideways step is 8, across the walking direction.
        column_width = (cx - left) // 6
        forward = [sum(step[i] for step in walked) for i in range(2)]
        frames = hold(s, 3, (cx + 2 * column_width + column_width // 2, cy))
        slid = moves(final, frames)
        expect(len(slid) >= 5, "only %d slide steps: %r" % (len(slid), frames))
        for frame in frames:
            expect(frame.angles == start.angles, "sliding changed the angles: %r" % frame)
        across = [sum(step[i] for step in slid) for i in range(2)]
        cosine = (forward[0] * across[0] + forward[1] * across[1]) / (math.hypot(*forward) * math.hypot(*across))
        expect(abs(cosine) < 0.2, "slid %r while walking went %r" % (across, forward))
        expect(all(dz == 0 for _, _, dz in slid), "sliding sideways moved up or down: %r" % slid)
        expect_pane_shows(s, room, frames[-1])
        s.exit_by_menu()


# The Walk menu's pop-up: the column of its check marks and where its texts start, in pixels
# from its left edge; its right edge's width.
CHECK_COLUMN = (4, 16)
TEXT_LEFT = 18
EDGE = 4


def menu_checks(s, window):
    """The checked entries of the Walk menu's pop-up (an XWindow), read off the screen: each
    entry's text is a band of rows with ink (pixels other than the row's own background, which
    its right end shows: a highlighted entry has another); a check mark is ink in the column
    left of the texts. Separators are lines across, rows of one colour."""
    shot = qpdrive.Screenshot()
    left, top, right, bottom = window.rect

    def inked(y, x0, x1):
        background = shot.pixel(right - EDGE, y)
        return any(shot.pixel(x, y) != background for x in range(x0, x1))

    bands, start = [], None
    for y in range(top, bottom + 1):
        on = y < bottom - EDGE and inked(y, left + TEXT_LEFT, right - EDGE)
        if on and start is None:
            start = y
        elif not on and start is not None:
            if y - start >= 5:  # separators are lines of one or two rows
                bands.append((start, y))
            start = None
    expect(len(bands) >= len(WALK_ITEMS), "the Walk menu shows %d entries: %r" % (len(bands), bands))
    checked = []
    for item, (y0, y1) in zip(WALK_ITEMS, bands):
        if any(inked(y, left + CHECK_COLUMN[0], left + CHECK_COLUMN[1]) for y in range(y0, y1)):
            checked.append(item)
    return checked


def walk_menu_checks(s):
    seen = s.shown()
    s.keys_to_frame("alt+k")
    popup = s.top_window(seen, "Walk menu")
    time.sleep(0.3)
    checked = menu_checks(s, popup)
    qpdrive.key("Escape", "Escape")
    qpdrive.wait_window_gone(popup.xid)
    return checked


def check_walk_menu(env):
    """Walk > Telephoto sets the lens 135:36, Walk > Fastest and Normal Speed the render options;
    the menu checks what is chosen, and the pane shows render-frame's picture with them."""
    room = env.sample("room.qpy")
    with Session(env, qpdrive.windows_path(room)) as s:
        s.open_at_start("room.qpy")
        start = s.settle()
        expect(start.lens == (35, 36), "the first lens is %r" % (start.lens,))
        expect(start.options & SPEED_OPTION_BITS == speed_options(*SPEEDS["Normal Speed"]),
               "the first options 0x%X" % start.options)
        expect(walk_menu_checks(s) == ["Standard", "Normal Speed"], "checked at first: %r" % walk_menu_checks(s))

        mark = s.program.mark()
        s.choose("alt+k", "t")
        frame = s.next_frame(since=mark)
        frame = s.settle()
        expect(frame.lens == (135, 36), "Telephoto gave the lens %r" % (frame.lens,))
        expect(frame.placement() == start.placement(), "Telephoto moved the eye: %r" % frame)
        expect_pane_shows(s, room, frame)
        expect(walk_menu_checks(s) == ["Telephoto", "Normal Speed"], "checked after Telephoto: %r" % walk_menu_checks(s))

        for name, key in (("Fastest", "e"), ("Faster", "a"), ("Normal Speed", "n")):
            mark = s.program.mark()
            s.choose("alt+k", key)
            s.next_frame(since=mark)
            frame = s.settle()
            expect(frame.options & SPEED_OPTION_BITS == speed_options(*SPEEDS[name]),
                   "%s gave the options 0x%X" % (name, frame.options))
            expect(frame.options & ~SPEED_OPTION_BITS == start.options & ~SPEED_OPTION_BITS,
                   "%s changed other options: 0x%X from 0x%X" % (name, frame.options, start.options))
            expect(frame.lens == (135, 36), "%s changed the lens: %r" % (name, frame.lens))
            if name == "Fastest":
                expect_pane_shows(s, room, frame)
            checked = walk_menu_checks(s)
            expect(checked == ["Telephoto", name], "checked after %s: %r" % (name, checked))
        s.exit_by_menu()


def check_play_path(env):
    """Walk > Play shows the points of room.qpy's path one after another with changing
    pictures; a click stops it; Walk > Stop goes back to the first point."""
    room = env.sample("room.qpy")
    points = {p[:3] for p in ROOM_PATH}
    with Session(env, qpdrive.windows_path(room)) as s:
        s.open_at_start("room.qpy")
        s.settle()
        mark = s.program.mark()
        s.choose("alt+k", "p")
        s.next_frame(since=mark)
        expect_pictures_while_playing(s)
        played = s.frames(mark)
        eyes = {f.eye for f in played}
        expect(len(eyes) >= 3, "the path showed %d points" % len(eyes))
        expect(eyes <= points, "points off the path: %r" % sorted(eyes - points))
        qpdrive.click(*s.cross_hair())
        stopped = s.settle(quiet=1.0)
        # The click stopped play: nothing comes any more, though the player answers.
        later = s.program.mark()
        time.sleep(1.0)
        expect(not s.frames(later), "frames go on after the click")
        mark = s.program.mark()
        s.choose("alt+k", "o")
        frame = s.next_frame(since=mark)
        frame = s.settle()
        first = ROOM_PATH[0]
        expect(frame.eye == first[:3] and frame.angles[2] % 256 == first[3],
               "Stop went to %r, not to the first point %r (play had stopped at %r)" % (frame, first, stopped))
        s.exit_by_menu()


def hostile_families(env):
    """The hostile models by family, the first two words of their names ("fail-pictures",
    "load-frames"), each family's names sorted."""
    families = {}
    for name in sorted(os.listdir(env.hostile)):
        if name.endswith(".qpy"):
            families.setdefault("-".join(name[:-len(".qpy")].split("-")[:2]), []).append(name)
    return [families[family] for family in sorted(families)]


def hostile_outcome(name):
    return name.split("-", 1)[0]  # fail, load or any


def await_hostile(s, name, since, seen):
    """What became of a hostile model: "alert" (refused with the reader's alert), "refused"
    (a file without a model's header, which the open command passes over silently) or "loaded"
    (its pane laid out). A "Finished loading." on the way is acknowledged with Return."""
    ending = r"^(alert .*|open-refused .*|pane .*)$"
    match = s.line(r"^(alert .*|open-refused .*|pane .*|progress %s)$" % re.escape(FINISHED), timeout=30, since=since)
    if match.group(1).startswith("progress"):
        s.acknowledge_progress(since=seen, told=True)
        match = s.line(ending, timeout=30)
    outcome = match.group(1).split()[0].replace("open-refused", "refused").replace("pane", "loaded")
    wanted = hostile_outcome(name)
    expect(wanted == "any" or (wanted, outcome) in (("fail", "alert"), ("fail", "refused"), ("load", "loaded")),
           "%s ended %s" % (name, outcome))
    return outcome


def dismiss_alerts(s, seen, since):
    """Dismisses a model's alerts one after another, from the one await_hostile found up to the
    model reader's own, which comes last (a picture's reader first says why it refused the
    picture), or until the model is laid out after all."""
    dismissed = 0
    while True:
        texts = [m.group(1) for m in s.program.matching(r"^alert (.*)$", since)]
        if len(texts) <= dismissed:
            if s.line(r"^(alert|pane) ", timeout=30).group(1) == "pane":
                return
            continue
        alert = s.top_window(seen, "alert")
        s.keys_to(alert, "Return")
        qpdrive.wait_window_gone(alert.xid)
        dismissed += 1
        if texts[dismissed - 1].startswith("Error in loading file"):
            return


def check_hostile_by_menu(env):
    """The first hostile model of each family, opened through the File menu, is refused with the
    reader's alert or loads, as make-hostile-models classes it; a good model then opens. Every
    hostile model is read by qmdl-info, with the same reader, in qmdl_info_hostile."""
    room = env.sample("room.qpy")
    with Session(env, qpdrive.windows_path(room), timeout=600) as s:
        s.open_at_start("room.qpy")
        for name in [names[0] for names in hostile_families(env)]:
            seen = s.shown()
            mark, _ = open_by_menu(s, os.path.join(env.hostile, name))
            if await_hostile(s, name, mark, seen) == "alert":
                dismiss_alerts(s, seen, mark)
            else:
                s.wait_model(name, since=mark)
            expect(s.program.running(), "the player ended after %s" % name)
        seen = s.shown()
        mark, _ = open_by_menu(s, room)
        s.acknowledge_progress(since=seen)
        s.wait_model("room.qpy", since=mark)
        s.exit_by_menu()


def check_hostile_command_line(env):
    """The last hostile model of each family of more than one, opened from the command line, is
    refused with the reader's alert or loads, as make-hostile-models classes it, and the player
    lives on; a good model then opens."""
    names = [names[-1] for names in hostile_families(env) if len(names) > 1]
    expect(names, "no hostile models in %s" % env.hostile)
    failures = []
    for name in names:
        # A program that Wine failed to start (it wrote nothing at all; rare, under full parallel
        # load) gets one more try, as the suite gives every test.
        for tries_left in (1, 0):
            with Session(env, qpdrive.windows_path(os.path.join(env.hostile, name)), timeout=60,
                         close_about=False) as s:
                try:
                    s.close_about(s.about_window())
                    seen = set()
                    await_hostile(s, name, 0, seen)
                    expect(s.program.running(), "the player ended")
                except (AssertionError, DriveError) as error:
                    if tries_left and not s.program.lines:
                        continue
                    crash = s.program.matching(r"^Unhandled exception: .*")
                    failures.append("%s: %s" % (name, crash[0].group(0) if crash else error))
            break
    expect(not failures, "\n".join(failures))
    with Session(env, qpdrive.windows_path(env.sample("room.qpy"))) as s:
        s.open_at_start("room.qpy")
        s.exit_by_menu()


def check_hostile_frames(env):
    """Every model whose cost lies in drawing a frame, opened from the command line, shows its
    first frame and the step a click in the view takes, and Alt+F4 then ends the player at once:
    no frame keeps it from answering."""
    names = sorted(n for n in os.listdir(env.hostile) if n.startswith("load-frames-"))
    expect(names, "no hostile frame models in %s" % env.hostile)
    for name in names:
        with Session(env, qpdrive.windows_path(os.path.join(env.hostile, name)), timeout=60) as s:
            await_hostile(s, name, 0, set())
            s.wait_model(name)
            # A click beside the cross hair: a step of a turn and a walk.
            left, top, right, bottom = s.pane
            x, y = s.cross_hair()
            mark = s.program.mark()
            qpdrive.click(x + (right - left) // 5, y + (bottom - top) // 10)
            s.next_frame(since=mark)
            s.keys_to_frame("alt+F4")
            s.line(r"^exit 0$", timeout=10)
            code = s.program.wait_exit(10)
            expect(code == 0, "%s: exit code %d" % (name, code))


def collect_checks():
    """The checks of this file and of the checks_*.py files beside it, which import this one."""
    sys.modules.setdefault("player_e2e", sys.modules[__name__])
    spaces = [globals()]
    here = os.path.dirname(os.path.abspath(__file__))
    sys.path.insert(0, here)
    for file in sorted(os.listdir(here)):
        if file.startswith("checks_") and file.endswith(".py"):
            spaces.append(vars(importlib.import_module(file[:-3])))
    return {name[len("check_"):]: function for space in spaces for name, function in space.items()
            if name.startswith("check_") and callable(function)}


def main():
    CHECKS = collect_checks()
    if len(sys.argv) != 8 or sys.argv[7] not in CHECKS:
        print("usage: player_e2e.py RUN_IN_DESKTOP PLAYER RENDER_FRAME SAMPLES HOSTILE WORK CHECK (%s)"
              % ", ".join(CHECKS), file=sys.stderr)
        return 2
    env = Environment(*sys.argv[1:7])
    name = sys.argv[7]
    env.work = os.path.join(env.work, name)
    shutil.rmtree(env.work, ignore_errors=True)
    os.makedirs(env.work)
    try:
        CHECKS[name](env)
    except (AssertionError, DriveError) as error:
        print("FAILED %s: %s" % (name, error))
        if Session.last:
            print("the player's last lines:\n  " + "\n  ".join(Session.last.program.lines[-25:]))
        return 1
    print("passed %s" % name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
