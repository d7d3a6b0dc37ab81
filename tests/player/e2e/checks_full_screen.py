"""End-to-end checks of full screen: Walk > Full Screen shows the model in a pop-up of the
screen's size with the help bar hidden; Space there pops the Walk menu up, Esc and Alt+F4 bring
the model window back; the player goes on as before."""

import time

import qpdrive
from player_e2e import RECT, Session, expect_pane_shows, hold, moves
from qpdrive import expect

VIEW = r"^model-window \d+ " + RECT + r"$"
PANE = r"^pane " + RECT + r" size (\d+)x(\d+)$"


def view_after_toggle(s, state, since):
    """After full screen went on (1) or off (0): the help bar's state, the view window's and the
    pane's rectangles on the screen (the pane becomes the session's pane)."""
    s.line(r"^full-screen %d$" % state, since=since)
    expect(int(s.line(r"^help-bar ([01])$", since=since).group(1)) == 1 - state,
           "the help bar is %s in full screen %d" % ("shown" if state else "hidden", state))
    window = tuple(int(v) for v in s.line(VIEW, since=since).groups())
    left, top, right, bottom, width, height = (int(v) for v in s.line(PANE, since=since).groups())
    expect((right - left, bottom - top) == (width, height), "pane %r against %dx%d" % (
        (left, top, right, bottom), width, height))
    s.pane = (left, top, right, bottom)
    return window


def enter_full_screen(s, room):
    """Walk > Full Screen: a pop-up whose content is the screen moved a pixel up and left, the
    help bar hidden, the picture render-frame's at the screen's size."""
    mark = s.program.mark()
    s.choose("alt+k", "u")
    window = view_after_toggle(s, 1, mark)
    shot = qpdrive.Screenshot()
    expect(window == (-1, -1, shot.width - 1, shot.height - 1),
           "the full-screen window is %r on a %dx%d screen" % (window, shot.width, shot.height))
    expect(s.pane == window, "the pane %r does not fill the window %r" % (s.pane, window))
    s.next_frame(since=mark)
    expect_pane_shows(s, room, s.settle())


def back_in_the_window(s, room, mark, windowed):
    """The model window is back with its help bar, the pane where it was, showing the model."""
    view_after_toggle(s, 0, mark)
    expect(s.pane == windowed, "the pane came back at %r, not at %r" % (s.pane, windowed))
    s.next_frame(since=mark)
    expect_pane_shows(s, room, s.settle())


def check_full_screen(env):
    """Walk > Full Screen, Space and Escape on its pop-up menu, Esc back; full screen again and
    Alt+F4 back; a step still walks, and File > Exit ends with 0."""
    room = env.sample("room.qpy")
    with Session(env, qpdrive.windows_path(room)) as s:
        s.open_at_start("room.qpy")
        start = s.settle()
        windowed = s.pane

        enter_full_screen(s, room)
        seen = s.shown()
        mark = s.program.mark()
        s.keys_to_frame("space")
        popup = s.top_window(seen, "Walk pop-up menu")
        time.sleep(0.3)
        qpdrive.key("Escape")
        s.line(r"^walk-popup 0$", since=mark)
        qpdrive.wait_window_gone(popup.xid)
        expect(not s.program.matching(r"^full-screen ", mark), "the dismissed pop-up changed full screen")

        mark = s.program.mark()
        s.keys_to_frame("Escape")
        back_in_the_window(s, room, mark, windowed)

        enter_full_screen(s, room)
        mark = s.program.mark()
        s.keys_to_frame("alt+F4")
        back_in_the_window(s, room, mark, windowed)
        expect(s.program.running(), "the player ended")

        cx, cy = s.cross_hair()
        row_height = (cy - s.pane[1]) // 7
        frames = hold(s, 1, (cx, cy - 2 * row_height - row_height // 2), steps=3)
        expect(moves(start, frames), "no step after full screen: %r" % frames)
        s.exit_by_menu()
