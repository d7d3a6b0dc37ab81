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
# Windows on the screen keep this far from its top, and from its other edges.
SCREEN_TOP_GAP = 40
SCREEN_GAP = 20
# The loading window with credits: where the credits end above its bottom edge, its message row,
# the rows below it that showing the message clears, its bar (the button's width and two margins
# short of the right edge).
CREDITS_AREA_GAP = 62
MESSAGE_ROW = (47, 29)
MESSAGE_CLEARANCE = 5
BAR_ROWS = (26, 13)
BAR_RIGHT_GAP = 87
BAR_EMPTY = (0xCC, 0xCC, 0xFF)
BAR_FILLED = (0x45, 0x45, 0x45)
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


def long_credits_loading_window(s):
    """The loading window of the long credits once "Finished loading." is shown: 297 wide and
    kept on the screen, it shows the text's first line, and nothing of the text from the
    credits' area down, over neither the message nor the bar. The window (an XWindow)."""
    s.line(r"^progress %s$" % re.escape(FINISHED), timeout=60)
    progress = s.top_window({s.frame_window().xid}, "loading window")
    _, screen_height = qpdrive.display_size()
    left, _, right, bottom = progress.rect
    frame = (right - left - CREDITS_WIDTH) // 2  # as thick at the sides as at the bottom
    x0, top, x1, y1 = left + frame, SCREEN_TOP_GAP, right - frame, bottom - frame
    expect(y1 == screen_height - SCREEN_GAP, "the loading window %r is not kept on the screen" % (progress,))
    bar = (x0 + MARGIN, y1 - MESSAGE_ROW[1] + MESSAGE_CLEARANCE, x1 - BAR_RIGHT_GAP, y1 - BAR_ROWS[1])
    deadline = time.monotonic() + 5
    while True:
        shot = qpdrive.Screenshot()
        face = shot.pixel(x0 + 5, top + 5)  # the left margin
        first_line = [(x, y) for y in range(top + MARGIN, top + MARGIN + 14) for x in range(x0 + MARGIN, x1 - MARGIN)
                      if shot.pixel(x, y) == BLACK]
        below = shot.differing((x0, y1 - CREDITS_AREA_GAP, x1, y1 - MESSAGE_ROW[0]), face)
        # The bar below the rows that the message clears: framed in black, empty or filled inside.
        frame_drawn = {shot.pixel(x, bar[3] - 1) for x in range(bar[0], bar[2])}
        frame_drawn |= {shot.pixel(x, y) for y in range(bar[1], bar[3]) for x in (bar[0], bar[2] - 1)}
        inside = {shot.pixel(x, y) for y in range(bar[1], bar[3] - 1) for x in range(bar[0] + 1, bar[2] - 1)}
        if first_line and not below and frame_drawn == {BLACK} and inside <= {BAR_EMPTY, BAR_FILLED}:
            return progress
        if time.monotonic() > deadline:
            raise AssertionError("the loading window %r: %d pixels of ink in the text's first line, %d pixels "
                                 "drawn between the credits and the message, the bar's frame in %r and inside in %r"
                                 % ((x0, top, x1, y1), len(first_line), len(below), frame_drawn, inside))
        time.sleep(0.2)


def check_credits_long_text(env):
    """A megabyte of credits: the loading window shows the start of the text with "Finished
    loading." and its OK button clear of it, and Return closes it; File > Credits... shows the
    credits window wholly on the screen, its text clipped above its OK button, and a click on OK
    closes it."""
    with Session(env, qpdrive.windows_path(os.path.join(env.hostile, LONG_CREDITS))) as s:
        progress = long_credits_loading_window(s)
        s.keys_to(progress, "Return")
        qpdrive.wait_window_gone(progress.xid)
        s.wait_model(LONG_CREDITS)
        s.settle()

        seen = s.shown()
        mark = s.program.mark()
        s.keys_to_frame("alt+f")
        qpdrive.key("Down", "Down", "Return")
        place = s.line(r"^credits " + RECT + " text " + RECT + "$", since=mark)
        left, top, right, bottom = (int(v) for v in place.groups()[:4])
        text = tuple(int(v) for v in place.groups()[4:])
        screen_width, screen_height = qpdrive.display_size()
        expect(left >= SCREEN_GAP and top >= SCREEN_TOP_GAP and right <= screen_width - SCREEN_GAP
               and bottom <= screen_height - SCREEN_GAP, "the credits window stands at %r" % ((left, top, right, bottom),))
        window = s.top_window(seen, "credits window")
        expect(window.rect[0] >= 0 and window.rect[1] >= 0 and window.rect[2] <= screen_width
               and window.rect[3] <= screen_height, "the credits window %r is not wholly on the screen" % (window,))
        width, height = right - left, bottom - top
        ok_left = left + (width + BUTTON[0]) // 2 - BUTTON[0]
        ok = (ok_left, bottom - MARGIN - BUTTON[1], ok_left + BUTTON[0], bottom - MARGIN)
        expect(text[0] == MARGIN and text[3] <= height - 2 * MARGIN - BUTTON[1] and text[3] - text[1] >= 14 * 40,
               "the credits text stands at %r in a window of %dx%d" % (text, width, height))
        deadline = time.monotonic() + 5
        while True:
            shot = qpdrive.Screenshot()
            # The text is cut at its bottom: nothing of it between there and the button; the
            # button shows its label.
            background = shot.pixel(left + 5, top + text[3])
            drawn = shot.differing((left, top + text[3], right, ok[1]), background)
            label = shot.differing(ok, BLACK, inset=4)
            if not drawn and len(label) < (BUTTON[0] - 8) * (BUTTON[1] - 8):
                break
            if time.monotonic() > deadline:
                raise AssertionError("%d pixels drawn below the credits text; the OK button at %r shows no label" % (
                    len(drawn), ok))
            time.sleep(0.2)

        qpdrive.click((ok[0] + ok[2]) // 2, (ok[1] + ok[3]) // 2)
        qpdrive.wait_window_gone(window.xid)
        time.sleep(0.3)
        expect(s.program.running(), "the player ended after the credits window")
        s.exit_by_menu()
