"""End-to-end checks of the about window: the short window every start shows (its pixels the
program's picture, then the model; without the font file, the alert and a failed start after
it), Help > About showing it again until a key, and the one check that lets the start-up window
close by itself after its time."""

import copy
import os
import shutil
import re
import struct
import time

from player_e2e import CAPTION, Session, qpdrive
from qpdrive import expect

# The picture the build made for the short window (resource 300), in the resources' build folder.
PICTURE = "about.bmp"
# The picture lies one pixel in from the window's edges.
MARGIN = 1
# The alert of a start without the font file beside the program, as the log writes it.
FONT_ALERT = ("Sorry, the font file, QPLAYX.FON, was not found.\\nIt should be in the same directory as the "
              "executable.")
# How long the start-up window stays by itself: 360 units of 16 ms, with room for a slow start
# of the loop and a slow screen.
OWN_CLOSE_SECONDS = (5.0, 9.5)


class Picture8:
    """An 8-bit BMP file with its own colour table, as the resource script takes it."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        expect(data[:2] == b"BM", "%s is no BMP file" % path)
        offset = struct.unpack_from("<I", data, 10)[0]
        size, self.width, height, _, bits = struct.unpack_from("<IiiHH", data, 14)
        expect(bits == 8 and height > 0, "%s: %d bits, height %d" % (path, bits, height))
        colours = struct.unpack_from("<I", data, 46)[0] or 256
        palette = data[14 + size:14 + size + 4 * colours]
        self.colours = [(palette[i + 2], palette[i + 1], palette[i]) for i in range(0, len(palette), 4)]
        self.height = height
        self.stride = (self.width + 3) // 4 * 4
        self.offset = offset
        self.data = data

    def pixel(self, x, y):
        return self.colours[self.data[self.offset + (self.height - 1 - y) * self.stride + x]]


def picture_path():
    folder = os.environ.get("QP_RESOURCES")
    expect(folder, "QP_RESOURCES names no folder of the built resources")
    return os.path.join(folder, PICTURE)


def expect_short_window_shows_picture(about):
    form, (left, top, right, bottom) = about
    picture = Picture8(picture_path())
    expect(form == "short", "the about window came in the form %r" % form)
    expect((right - left, bottom - top) == (picture.width + 2 * MARGIN, picture.height + 2 * MARGIN),
           "the window's client area %r for a picture of %dx%d" % (about[1], picture.width, picture.height))
    shot = qpdrive.Screenshot()
    wrong = [(x, y) for y in range(picture.height) for x in range(picture.width)
             if shot.pixel(left + MARGIN + x, top + MARGIN + y) != picture.pixel(x, y)]
    expect(not wrong, "%d of %d pixels differ from the picture, e.g. at %r: %r against %r" % (
        len(wrong), picture.width * picture.height, wrong[:1],
        shot.pixel(left + MARGIN + wrong[0][0], top + MARGIN + wrong[0][1]) if wrong else None,
        picture.pixel(*wrong[0]) if wrong else None))


def check_about_at_start(env):
    """Every start shows the short window first, centred, showing the picture of the build; a key
    closes it and the model of the command line comes after it."""
    with Session(env, qpdrive.windows_path(env.sample("room.qpy")), close_about=False) as s:
        about = s.about_window()
        left, top, right, bottom = about[1]
        screen = qpdrive.Screenshot()
        width, height = screen.width, screen.height
        expect(abs((left + right) - width) <= 1 and abs((top + bottom) - height) <= 1,
               "the window %r is not centred on a screen of %dx%d" % (about[1], width, height))
        expect_short_window_shows_picture(about)
        expect(not s.program.matching(r"^title "), "the player window came before the about window closed")
        s.close_about(about)
        s.open_at_start("room.qpy")
        s.exit_by_menu()

    # A copy of the program in a folder without the font file: the about window still comes
    # first, then the font alert; once it is closed the program ends with a failed start's exit
    # code, not with success, and opens nothing.
    bare = copy.copy(env)
    folder = os.path.join(env.work, "without-font")
    os.makedirs(folder, exist_ok=True)
    bare.player = os.path.join(folder, os.path.basename(env.player))
    shutil.copyfile(env.player, bare.player)
    with Session(bare, qpdrive.windows_path(env.sample("room.qpy"))) as s:
        alert = s.line(r"^alert (.*)$")
        expect(alert.group(1) == FONT_ALERT, "the alert says %r" % alert.group(1))
        window = wait_alert_window(s)
        s.keys_to(window, "Return")
        s.line(r"^exit 1$")
        code = s.program.wait_exit(15)
        expect(code == 1, "exit code %d after the font alert" % code)
        expect(s.program.group_ended(10), "a Wine process of the player is still running after the alert")
        expect(not s.program.matching(r"^(progress|pane) "), "a model opened without the font file")


def wait_alert_window(s, timeout=15.0):
    """The alert on the screen: the program's window captioned with the document's title alone
    (the frame's caption starts with the player's name)."""
    deadline = time.monotonic() + timeout
    while True:
        alerts = [w for w in s.windows() if not w.name.startswith(CAPTION)]
        if alerts:
            return alerts[-1]
        expect(time.monotonic() < deadline, "no alert came up; windows: %r" % s.windows())
        time.sleep(0.1)


def check_about_by_menu(env):
    """Help > About shows the short window again; the pointer moving over it leaves it up, and it
    waits well past a moment for a key, which closes it; the player goes on."""
    with Session(env, qpdrive.windows_path(env.sample("room.qpy"))) as s:
        s.open_at_start("room.qpy")
        mark = s.program.mark()
        s.choose("alt+h", "a")
        about = s.about_window(since=mark)
        expect_short_window_shows_picture(about)
        left, top, right, bottom = about[1]
        for x, y in ((left + 5, top + 5), (right - 5, bottom - 5), ((left + right) // 2, top + 10)):
            qpdrive.move_to(x, y)
        time.sleep(1.0)
        expect(not s.program.matching(r"^about-closed ", since=mark), "the about window closed by itself")
        s.close_about(about)
        expect(s.program.running(), "the player ended with the about window")
        s.exit_by_menu()


def check_about_closes_by_itself(env):
    """Left alone, the start-up window closes by itself after about six seconds, and the model
    comes up."""
    with Session(env, qpdrive.windows_path(env.sample("room.qpy")), close_about=False) as s:
        s.about_window()
        shown = time.monotonic()
        s.line(r"^about-closed short$", timeout=OWN_CLOSE_SECONDS[1] + 5)
        elapsed = time.monotonic() - shown
        expect(OWN_CLOSE_SECONDS[0] <= elapsed <= OWN_CLOSE_SECONDS[1],
               "the start-up window closed after %.1f s" % elapsed)
        s.line(r"^title %s - room\.qpy$" % re.escape(CAPTION))
        s.open_at_start("room.qpy")
        s.exit_by_menu()


def cube_disc(about, radius=50):
    """The points of the about box within `radius` of its cube's centre, which faces always
    cover, with the screen's pixels there."""
    _, (left, top, _, _) = about
    cx, cy = left + 118, top + 93
    shot = qpdrive.Screenshot()
    return {(x, y): shot.pixel(x, y) for y in range(cy - radius, cy + radius + 1, 2)
            for x in range(cx - radius, cx + radius + 1, 2) if (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2}


def check_about_box_with_caps_lock(env):
    """Help > About with Caps Lock on shows the about box first: its cube's faces carry their
    coloured pictures and it turns; a key closes it and the short window follows. Both come in
    the other mode (-1) of a window opened by the user."""
    with Session(env, qpdrive.windows_path(env.sample("room.qpy"))) as s:
        s.open_at_start("room.qpy")
        mark = s.program.mark()
        qpdrive.key("Caps_Lock")
        try:
            s.choose("alt+h", "a")
            about = s.about_window(since=mark)
            expect(about[0] == "box", "Caps Lock gave the %s window first" % about[0])
            expect(s.program.matching(r"^about box -1 ", since=mark), "the about box came in another mode")
            left, top, right, bottom = about[1]
            expect((right - left, bottom - top) == (308, 228), "the about box measures %r" % (about[1],))
            first = cube_disc(about)
            coloured = [p for p, c in first.items() if len(set(c)) > 1]
            expect(len(coloured) > len(first) // 2, "%d of %d pixels of the cube are coloured" % (
                len(coloured), len(first)))
            time.sleep(0.3)
            expect(cube_disc(about) != first, "the cube does not turn")
            s.close_about(about)
            following = s.about_window()
            expect(following[0] == "short", "the %s window followed the about box" % following[0])
            expect(s.program.matching(r"^about short -1 ", since=mark), "the short window came in another mode")
            s.close_about(following)
        finally:
            qpdrive.key("Caps_Lock")
        s.exit_by_menu()
