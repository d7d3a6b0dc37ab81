"""End-to-end checks of the credits window: File > Credits... on room.qpy opens a window titled
"Credits" with the picture the sample holds and its text, and Return closes it; for a model
without credits the item is grayed. Credits of a megabyte stay on the screen, in the loading
window and in the credits window."""

import os
import re
import time

import qpdrive
from player_e2e import FINISHED, RECT, Session
from qpdrive import expect

ROOM_TEXT = "QPlayer sample room: a floor, four walls, a table and one shape of every kind."
# room.qpy's credits picture, 64 x 48: red rises by 3 a column, green by 2 a row, blue falls by 3.
ROOM_PICTURE = (64, 48)
# The credits window's width without a wide picture, and its side margin.
CREDITS_WIDTH = 297
MARGIN = 13
# The File menu's entries as they stand (separators left out), and where its texts start.
FILE_ITEMS = ["Open...", "Close", "Credits...", "Exit"]
TEXT_LEFT = 18
EDGE = 4
BLACK = (0, 0, 0)
# The hostile model whose credits text is a megabyte of lines.
LONG_CREDITS = "load-credits-long.qpy"
# How far windows keep from the screen's top, and from its other edges.
SCREEN_GAPS = (40, 20)
# The loading window with credits, above its bottom edge: where the credits end, where the
# message starts, the bar's rows below those that showing the message clears; the bar's gap to
# the right edge, and its colours inside.
CREDITS_END = 62
MESSAGE_TOP = 47
BAR_ROWS = (24, 13)
BAR_RIGHT_GAP = 87
BAR_COLOURS = {(0xCC, 0xCC, 0xFF), (0x45, 0x45, 0x45)}
# The credits window's OK button, centred at the bottom.
BUTTON = (61, 28)


def room_picture_pixel(x, y):
    return ((0x30 + 3 * x) & 0xFF, (0x40 + 2 * y) & 0xFF, (0xC0 - 3 * x) & 0xFF)


def file_menu_inks(s):
    """The File menu's pop-up opened with Alt+F, and for each entry the set of colours its text
    is drawn in (ink: pixels other than the row's background, which its right end shows);
    separators are lines of one or two rows. The menu is closed again."""
    seen = s.shown()
    s.keys_to_frame("alt+f")
    popup = s.top_window(seen, "File menu")
    time.sleep(0.3)
    shot = qpdrive.Screenshot()
    left, top, right, bottom = popup.rect

    def ink(y):
        background = shot.pixel(right - EDGE, y)
        return {shot.pixel(x, y) for x in range(left + TEXT_LEFT, right - EDGE)} - {background}

    bands, start = [], None
    for y in range(top, bottom + 1):
        on = y < bottom - EDGE and bool(ink(y))
        if on and start is None:
            start = y
        elif not on and start is not None:
            if y - start >= 5:
                bands.append(set().union(*(ink(row) for row in range(start, y))))
            start = None
    qpdrive.key("Escape", "Escape")
    qpdrive.wait_window_gone(popup.xid)
    expect(len(bands) == len(FILE_ITEMS), "the File menu shows %d entries" % len(bands))
    return dict(zip(FILE_ITEMS, bands))


def check_credits_window(env):
    """room.qpy: File > Credits... shows a window titled "Credits" holding the sample's credits
    picture, centred below the top margin, and its text; Return closes it and the program goes
    on. The item is enabled (drawn in black) for room.qpy and grayed for shapes.qpy."""
    with Session(env, qpdrive.windows_path(env.sample("room.qpy"))) as s:
        s.open_at_start("room.qpy")
        s.settle()
        expect(BLACK in file_menu_inks(s)["Credits..."], "Credits... is grayed for room.qpy")

        seen = s.shown()
        mark = s.program.mark()
        # "Close" and "Credits..." share their mnemonic: the arrows go from "Open..." to it.
        s.keys_to_frame("alt+f")
        qpdrive.key("Down", "Down", "Return")
        place = s.line(r"^credits " + RECT + " text " + RECT + "$", since=mark)
        left, top, right, bottom = (int(v) for v in place.groups()[:4])
        text_rect = tuple(int(v) for v in place.groups()[4:])
        text = s.line(r"^credits-text (.*)$", since=mark).group(1)
        expect(text == ROOM_TEXT, "the credits text is %r" % text)
        window = s.top_window(seen, "credits window")
        expect(window.name == "Credits", "the credits window is captioned %r" % window.name)
        width, height = ROOM_PICTURE
        # The text, measured in the screen's font, takes two lines of 14 below the picture.
        expect(text_rect == (MARGIN, 2 * MARGIN + height, CREDITS_WIDTH - MARGIN, 2 * MARGIN + height + 2 * 14),
               "the credits text stands at %r" % (text_rect,))
        expect((right - left, bottom - top) == (CREDITS_WIDTH, 54 + MARGIN + height + 2 * 14 + MARGIN),
               "the credits window is %dx%d" % (right - left, bottom - top))

        # The picture, centred between the side margins, 13 below the top.
        x0 = left + MARGIN + (CREDITS_WIDTH - 2 * MARGIN - width) // 2
        y0 = top + MARGIN
        deadline = time.monotonic() + 5
        while True:
            shot = qpdrive.Screenshot()
            wrong = [((x, y), shot.pixel(x0 + x, y0 + y), room_picture_pixel(x, y))
                     for y in range(height) for x in range(width)
                     if shot.pixel(x0 + x, y0 + y) != room_picture_pixel(x, y)]
            if not wrong:
                break
            if time.monotonic() > deadline:
                raise AssertionError("%d of %d pixels of the credits picture differ; e.g. %r" % (
                    len(wrong), width * height, wrong[:6]))
            time.sleep(0.2)
        expect(shot.pixel(x0 - 1, y0) != room_picture_pixel(0, 0), "the picture starts left of its place")

        s.keys_to(window, "Return")
        qpdrive.wait_window_gone(window.xid)
        time.sleep(0.3)
        expect(s.program.running(), "the player ended after the credits window")
        s.exit_by_menu()

    with Session(env, qpdrive.windows_path(env.sample("shapes.qpy"))) as s:
        s.wait_model("shapes.qpy")
        s.settle()
        inks = file_menu_inks(s)
        expect(BLACK in inks["Exit"], "Exit is not drawn in black: %r" % inks["Exit"])
        expect(BLACK not in inks["Credits..."], "Credits... is enabled for shapes.qpy")
        s.exit_by_menu()


def until_seen(look, timeout=5.0):
    """Takes screenshots until `look(shot)` finds nothing wrong (returns None); its last
    complaint fails the check."""
    deadline = time.monotonic() + timeout
    while True:
        wrong = look(qpdrive.Screenshot())
        if not wrong:
            return
        expect(time.monotonic() < deadline, wrong)
        time.sleep(0.2)


def check_credits_long_text(env):
    """A megabyte of credits: the loading window, kept on the screen, shows the start of the
    text, and nothing of it over "Finished loading." or the bar; Return closes it. File >
    Credits... shows the credits window wholly on the screen, its text cut above its OK button,
    and a click on OK closes it."""
    with Session(env, qpdrive.windows_path(os.path.join(env.hostile, LONG_CREDITS))) as s:
        s.line(r"^progress %s$" % re.escape(FINISHED), timeout=60)
        progress = s.top_window({s.frame_window().xid}, "loading window")
        width, height = qpdrive.display_size()
        frame = (progress.rect[2] - progress.rect[0] - CREDITS_WIDTH) // 2  # as thick as at the bottom
        x0, y0, x1, y1 = progress.rect[0] + frame, SCREEN_GAPS[0], progress.rect[2] - frame, progress.rect[3] - frame
        expect(y1 == height - SCREEN_GAPS[1], "the loading window %r is not kept on the screen" % (progress,))
        bar = (x0 + MARGIN + 1, y1 - BAR_ROWS[0], x1 - BAR_RIGHT_GAP - 1, y1 - BAR_ROWS[1] - 1)

        def loading(shot):
            first_line = (x0 + MARGIN, y0 + MARGIN, x1 - MARGIN, y0 + MARGIN + 14)
            uninked = len(shot.differing(first_line, BLACK)) == (x1 - x0 - 2 * MARGIN) * 14
            below = shot.differing((x0, y1 - CREDITS_END, x1, y1 - MESSAGE_TOP), shot.pixel(x0 + 5, y0 + 5))
            inside = {shot.pixel(x, y) for y in range(bar[1], bar[3]) for x in range(bar[0], bar[2])}
            if uninked or below or not inside <= BAR_COLOURS:
                return "the loading window at %r: first line inked %s, %d pixels drawn between the credits and " \
                       "the message, the bar in %r" % ((x0, y0, x1, y1), not uninked, len(below), inside)
            return None

        until_seen(loading)
        s.keys_to(progress, "Return")
        qpdrive.wait_window_gone(progress.xid)
        s.wait_model(LONG_CREDITS)

        seen, mark = s.shown(), s.program.mark()
        s.keys_to_frame("alt+f")
        qpdrive.key("Down", "Down", "Return")
        place = s.line(r"^credits " + RECT + " text " + RECT + "$", since=mark)
        left, top, right, bottom, _, _, _, text_bottom = (int(v) for v in place.groups())
        expect(left >= SCREEN_GAPS[1] and top >= SCREEN_GAPS[0] and right <= width - SCREEN_GAPS[1]
               and bottom <= height - SCREEN_GAPS[1], "the credits window stands at %r" % ((left, top, right, bottom),))
        window = s.top_window(seen, "credits window")
        expect(window.rect[1] >= 0, "the credits window's caption is off the screen: %r" % (window,))
        ok_left = (left + right + BUTTON[0]) // 2 - BUTTON[0]
        ok = (ok_left, bottom - MARGIN - BUTTON[1], ok_left + BUTTON[0], bottom - MARGIN)

        def credits(shot):
            drawn = shot.differing((left, top + text_bottom, right, ok[1]), shot.pixel(left + 5, top + text_bottom))
            unlabelled = len(shot.differing(ok, BLACK, inset=4)) == (BUTTON[0] - 8) * (BUTTON[1] - 8)
            if drawn or unlabelled:
                return "%d pixels drawn below the credits text; OK labelled %s" % (len(drawn), not unlabelled)
            return None

        until_seen(credits)
        qpdrive.click((ok[0] + ok[2]) // 2, (ok[1] + ok[3]) // 2)
        qpdrive.wait_window_gone(window.xid)
        s.exit_by_menu()
