"""End-to-end check of a read stopped from its loading window: a model of a million faces, which
takes the reader a second or more, is stopped by a click on Cancel, by Escape and by Alt+F4 on
the loading window, each pressed as soon as the window is up; each time the reader's alert comes
instead of the model, and the program answers its menus after it."""

import os

import qpdrive
from dome_field import write_dome_field
from player_e2e import CAPTION, Session, open_by_menu
from qpdrive import expect

# The Cancel button's middle from the loading window's bottom right corner (tools/e2e/cancel_timing.py).
CANCEL_FROM_RIGHT = 46
CANCEL_FROM_BOTTOM = 30
READING = r"^progress Reading: dome-field\.qpy$"
ALERT = 'alert Error in loading file "dome-field.qpy."'


def stop_read(s, mark, how):
    """Waits for the loading window of the read whose log starts at `mark`, stops the read by
    `how` ("cancel", or the keys) on it, and closes the reader's alert that comes instead of the
    model."""
    s.line(READING, since=mark)
    frame = s.frame_window().xid
    loading = s.top_window({frame}, "loading window")
    expect(loading.name.startswith(CAPTION), "the loading window is captioned %r" % loading.name)
    seen = s.shown()
    if how == "cancel":
        qpdrive.click(loading.rect[2] - CANCEL_FROM_RIGHT, loading.rect[3] - CANCEL_FROM_BOTTOM)
    else:
        s.keys_to(loading, how)
    ending = s.line(r"^(alert .*|pane .*)$", timeout=30, since=mark)
    expect(ending.group(1) == ALERT, "%s on the loading window: %s" % (how, ending.group(1)))
    expect(s.program.matching(r"^progress-closed 1$", mark), "the loading window closed without the stop")
    alert = s.top_window(seen, "alert")
    s.keys_to(alert, "Return")
    qpdrive.wait_window_gone(alert.xid)
    expect(s.program.running(), "the player ended after %s" % how)


def check_cancel_loading(env):
    """Cancel, Escape and Alt+F4 on the loading window each stop the read of a million faces:
    the alert comes, no model opens, the File menu then opens the next, and Exit ends the
    program."""
    model = write_dome_field(os.path.join(env.work, "dome-field.qpy"))
    with Session(env, qpdrive.windows_path(model)) as s:
        stop_read(s, 0, "cancel")
        for key in ("Escape", "alt+F4"):
            mark, question = open_by_menu(s, model)
            expect(question is None, "a model was open after the stop: %r" % question)
            stop_read(s, mark, key)
        expect(not s.program.matching(r"^pane "), "a model opened")
        s.exit_by_menu()
