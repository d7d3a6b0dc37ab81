"""End-to-end checks of the credits window: File > Credits... on room.qpy opens a window titled
"Credits" with the picture the sample holds and its text, and Return closes it; for a model
without credits the item is grayed."""

import time

import qpdrive
from player_e2e import RECT, Session
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
