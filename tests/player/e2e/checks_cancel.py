"""End-to-end check of a read stopped from its loading window: a model of a million faces, which
takes the reader a second or more, is stopped by a click on Cancel, by Escape and by Alt+F4 on
the loading window, each pressed as soon as the window is up; each time the reader's alert comes
instead of the model, and the program answers its menus after it. The same model with credits
that change as it is read, the loading window laid out again and again, is stopped the same
ways."""

import os
import re

import qpdrive
from dome_field import write_dome_field
from player_e2e import CAPTION, Session, open_by_menu
from qpdrive import expect

# The Cancel button's middle from the loading window's bottom right corner (tools/e2e/cancel_timing.py),
# and the ways of stopping a read.
CANCEL_FROM_RIGHT = 46
CANCEL_FROM_BOTTOM = 30
INPUTS = ("cancel", "Escape", "alt+F4")


def stop_read(s, mark, how, name):
    """Waits for the loading window of the read of the model `name` whose log starts at `mark`,
    stops the read by `how` ("cancel", or the keys) on it, where it stands at the key (it grows
    as it shows credits), and closes the reader's alert that comes instead of the model."""
    s.line(r"^progress Reading: %s$" % re.escape(name), since=mark)
    frame = s.frame_window().xid
    loading = s.top_window({frame}, "loading window")
    expect(loading.name.startswith(CAPTION), "the loading window is captioned %r" % loading.name)
    seen = s.shown()
    if how == "cancel":
        right, bottom = (qpdrive.window_rect(loading.xid) or loading.rect)[2:]
        qpdrive.click(right - CANCEL_FROM_RIGHT, bottom - CANCEL_FROM_BOTTOM)
    else:
        s.keys_to(loading, how)
    ending = s.line(r"^(alert .*|pane .*)$", timeout=30, since=mark)
    expect(ending.group(1) == 'alert Error in loading file "%s."' % name,
           "%s on the loading window of %s: %s" % (how, name, ending.group(1)))
    expect(s.program.matching(r"^progress-closed 1$", mark), "the loading window closed without the stop")
    alert = s.top_window(seen, "alert")
    s.keys_to(alert, "Return")
    qpdrive.wait_window_gone(alert.xid)
    expect(s.program.running(), "the player ended after %s" % how)


def check_cancel_loading(env):
    """Cancel, Escape and Alt+F4 on the loading window each stop the read of a million faces,
    and of the same with credits that change as it is read: the alert comes, no model opens,
    the File menu then opens the next, and Exit ends the program."""
    models = [write_dome_field(os.path.join(env.work, name), with_credits)
              for name, with_credits in (("dome-field.qpy", False), ("dome-field-credits.qpy", True))]
    with Session(env, qpdrive.windows_path(models[0])) as s:
        stop_read(s, 0, "cancel", "dome-field.qpy")
        for model, how in [(models[0], "Escape"), (models[0], "alt+F4")] + [(models[1], how) for how in INPUTS]:
            mark, question = open_by_menu(s, model)
            expect(question is None, "a model was open after the stop: %r" % question)
            stop_read(s, mark, how, os.path.basename(model))
        expect(not s.program.matching(r"^pane "), "a model opened")
        s.exit_by_menu()
