"""End-to-end checks of the navigation panel under the model's picture: its buttons' greys on the
screen, and real clicks on its buttons that move, turn and bring home the eye and play the walk
path, after each of which the pane shows render-frame's picture at the logged placement."""

import math
import time

import qpdrive
from player_e2e import RECT, ROOM_PATH, Session, expect, expect_pane_shows, expect_pictures_while_playing

# The buttons by index: Stop, Play, Pause, a filler, Forward, Backward, Turn Left, Turn Right, Up,
# Down, a filler, Home; the first filler takes the pixels that twelve do not divide.
STOP, PLAY, FORWARD, TURN_LEFT, HOME = 0, 1, 4, 6, 11
BUTTONS = 12
FIRST_FILLER = 3
STEP = 20
TURN = 4
# The defaults' start position of a model that keeps no preferences: the middle of the world at
# eye height.
HOME_EYE = (0, 0, 66)


def panel_place(s):
    """The panel's content on the screen, as the player logged it."""
    s.line(r"^panel " + RECT + "$", since=0)
    return tuple(int(v) for v in s.program.matching(r"^panel " + RECT + "$")[-1].groups())


def button_rect(s, index):
    """The button's rectangle on the screen."""
    left, top, right, bottom = panel_place(s)
    width, spare = divmod(right - left, BUTTONS)
    x = left + index * width + (spare if index > FIRST_FILLER else 0)
    return x, top, x + width + (spare if index == FIRST_FILLER else 0), bottom


def panel_button(s, index):
    """The centre of the panel's button on the screen."""
    left, top, right, bottom = button_rect(s, index)
    return (left + right) // 2, (top + bottom) // 2


# The panel's own greys, whatever the system's colours: a released button's face, its top and
# left edges, its right and bottom edges; a pressed button's face and top and left edges, and its
# right and bottom edges.
RELEASED = ((192,) * 3, (255,) * 3, (128,) * 3)
PRESSED = ((176,) * 3, (128,) * 3, (176,) * 3)
BLACK = (0, 0, 0)


def button_greys(shot, rect):
    """A released or pressed button's face, light and dark edges as the screen shows them (away
    from the glyph in the middle), or None where two of the points meant to match disagree; and
    the black of its frame along the right and bottom."""
    left, top, right, bottom = rect
    # The button paints (left, top, right - 1, bottom - 1) inside its black frame; its edges are
    # one pixel wide.
    face = shot.pixel(left + 2, top + 2)
    top_edge, left_edge = shot.pixel(left + 2, top), shot.pixel(left, top + 2)
    right_edge, bottom_edge = shot.pixel(right - 2, top + 2), shot.pixel(left + 2, bottom - 2)
    frame = {shot.pixel(right - 1, top + 2), shot.pixel(left + 2, bottom - 1)}
    greys = (face, top_edge, right_edge) if top_edge == left_edge and right_edge == bottom_edge else None
    return greys, frame


def expect_panel_greys(s, timeout=5.0):
    """Stop, pressed since the model opened, and Forward, released, show the panel's own greys."""
    deadline = time.monotonic() + timeout
    while True:
        shot = qpdrive.Screenshot()
        seen = [button_greys(shot, button_rect(s, index)) for index in (STOP, FORWARD)]
        if seen == [(PRESSED, {BLACK}), (RELEASED, {BLACK})]:
            return
        if time.monotonic() > deadline:
            raise AssertionError("Stop and Forward show %r, not %r" % (
                seen, [(PRESSED, {BLACK}), (RELEASED, {BLACK})]))
        time.sleep(0.2)


def press(s, index):
    """Clicks the button; the frames from the click until they stop."""
    mark = s.program.mark()
    qpdrive.click(*panel_button(s, index))
    s.line(r"^panel-click %d path \d+$" % index, since=mark)
    s.settle()
    return s.frames(mark)


def open_room(s):
    """room.qpy from the command line, loaded; its first frame once they stop coming."""
    s.open_at_start("room.qpy")
    return s.settle()


def check_panel_forward(env):
    """The panel's buttons show their own greys, Stop pressed; Forward moves the eye in whole
    steps of 20 along its heading, its angles and height kept."""
    room = env.sample("room.qpy")
    with Session(env, qpdrive.windows_path(room)) as s:
        start = open_room(s)
        expect_panel_greys(s)
        turn = 2 * math.pi * start.angles[2] / 256
        want = (-STEP * math.sin(turn), STEP * math.cos(turn))
        frames = press(s, FORWARD)
        expect(frames, "no frame after Forward")
        last = start.eye
        steps = 0
        for frame in frames:
            expect(frame.angles == start.angles, "Forward turned the eye: %r from %r" % (frame, start))
            dx, dy, dz = (b - a for a, b in zip(last, frame.eye))
            if (dx, dy, dz) != (0, 0, 0):
                steps += 1
                expect(dz == 0 and abs(dx - want[0]) <= 1 and abs(dy - want[1]) <= 1,
                       "a step of %r, not one of 20 along the heading %d" % ((dx, dy, dz), start.angles[2]))
            last = frame.eye
        expect(steps >= 1, "Forward moved nothing: %r" % frames)
        expect_pane_shows(s, room, frames[-1])
        s.exit_by_menu()


def check_panel_turn_left(env):
    """Turn Left turns the heading by 4/256 of a turn per step, the eye standing where it was."""
    room = env.sample("room.qpy")
    with Session(env, qpdrive.windows_path(room)) as s:
        start = open_room(s)
        frames = press(s, TURN_LEFT)
        last = start.angles[2]
        for frame in frames:
            expect(frame.eye == start.eye and frame.angles[:2] == start.angles[:2],
                   "Turn Left moved the eye: %r from %r" % (frame, start))
            expect((frame.angles[2] - last) % 256 in (0, TURN), "a turn from %d to %d" % (last, frame.angles[2]))
            last = frame.angles[2]
        expect(last != start.angles[2], "Turn Left turned nothing: %r" % frames)
        expect_pane_shows(s, room, frames[-1])
        s.exit_by_menu()


def check_panel_home(env):
    """Home takes the eye from wherever it went to the home placement: the defaults' start
    position with all three angles 0."""
    room = env.sample("room.qpy")
    with Session(env, qpdrive.windows_path(room)) as s:
        start = open_room(s)
        press(s, FORWARD)
        frames = press(s, HOME)
        home = frames[-1]
        expect(home.eye == HOME_EYE and home.angles == (0, 0, 0), "Home went to %r" % home)
        expect(home.eye != start.eye, "the eye started at home already")
        expect_pane_shows(s, room, home)
        s.exit_by_menu()


def check_panel_play(env):
    """Play shows the path's points with changing pictures until a click on Play stops it; the
    stopping click starts nothing again, Pause shows, and the pane shows the point it stopped at."""
    room = env.sample("room.qpy")
    points = {p[:3] for p in ROOM_PATH}
    with Session(env, qpdrive.windows_path(room)) as s:
        open_room(s)
        mark = s.program.mark()
        play = panel_button(s, PLAY)
        qpdrive.click(*play)
        s.next_frame(since=mark)
        expect_pictures_while_playing(s)
        # Later than a double click's time: the second click is a click of its own.
        time.sleep(0.6)
        expect(not s.program.matching(r"^panel-click ", mark), "play ended before the click")
        qpdrive.click(*play)
        s.line(r"^panel-click 1 path 2$", since=mark)
        stopped = s.settle(quiet=1.0)
        played = s.frames(mark)
        eyes = {f.eye for f in played}
        expect(len(eyes) >= 3, "the path showed %d points" % len(eyes))
        expect(eyes <= points, "points off the path: %r" % sorted(eyes - points))
        later = s.program.mark()
        time.sleep(1.0)
        expect(not s.frames(later), "frames go on after the click")
        presses = s.program.matching(r"^panel-press ", mark)
        expect(len(presses) == 1, "the click that stopped play pressed a button: %r" % [m.group(0) for m in presses])
        expect_pane_shows(s, room, stopped)
        s.exit_by_menu()
