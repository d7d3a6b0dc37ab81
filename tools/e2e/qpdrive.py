"""Drives a Windows program under Wine on the test session's X display like a user does.

The program runs with its log on standard output, one line per fact, and prints a READY line
once its windows are up. A check waits for log lines (facts, never sleeps), moves the pointer,
clicks and holds buttons and presses keys with xdotool, reads screen pixels, and waits for the
exit code. Whatever happens, the program is ended and every key and button released when the
check is over: use `Program` in a `with` block. A program driven this way runs on a Wine desktop
of its own (`Desktop`), where no other program of the Wine server can take its foreground,
focus or pointer; its windows share the X display, so such checks take the suite's display lock.

Names in a READY line are `name=HWND@left,top,right,bottom` (screen coordinates, right and
bottom exclusive).
"""

import functools
import os
import re
import signal
import subprocess
import threading
import time


class DriveError(AssertionError):
    """A fact did not come (in time) or came wrong."""


def expect(condition, message):
    """Fails the check with the message unless the condition holds."""
    if not condition:
        raise AssertionError(message)


class Placed:
    """Something with a screen rectangle (left, top, right, bottom; right and bottom exclusive)."""

    @property
    def centre(self):
        left, top, right, bottom = self.rect
        return (left + right) // 2, (top + bottom) // 2


class Target(Placed):
    """A window named in the READY line: its handle and its screen rectangle."""

    def __init__(self, hwnd, rect):
        self.hwnd = hwnd
        self.rect = rect

    def __repr__(self):
        return "Target(%d, %r)" % (self.hwnd, self.rect)


def parse_targets(line):
    """The `name=HWND@l,t,r,b` fields of a log line, as a dict of Targets."""
    targets = {}
    for name, hwnd, rect in re.findall(r"(\w+)=(\d+)@(-?\d+,-?\d+,-?\d+,-?\d+)", line):
        targets[name] = Target(int(hwnd), tuple(int(v) for v in rect.split(",")))
    return targets


def wine_environment():
    env = dict(os.environ)
    env.setdefault("WINEDEBUG", "-all")
    return env


def windows_path(path):
    """The Wine name of a local file (drive Z: is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Desktop:
    """A Wine desktop of its own, made by the run-in-desktop launcher (tools/e2e): the programs
    on it keep their foreground window, focus, pointer and key states whatever other programs of
    the Wine server do with theirs."""

    def __init__(self, launcher, name=None):
        self.launcher = os.path.abspath(launcher)
        self.name = name or "qp-e2e-%d" % os.getpid()

    def command(self, exe, args, command_line=None):
        raw = [] if command_line is None else ["--command-line", command_line]
        return ["wine", self.launcher, self.name, *raw, windows_path(exe), *map(str, args)]


def wine_command(exe, args, desktop, command_line=None):
    if desktop:
        return desktop.command(exe, args, command_line)
    if command_line is not None:
        raise ValueError("a command line as it stands needs a desktop (run-in-desktop)")
    return ["wine", os.path.abspath(exe), *map(str, args)]


def group_alive(group):
    """Whether a process of the group still runs (zombies aside)."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[2]) == group and fields[0] != "Z":
            return True
    return False


class Program:
    """A program under Wine whose standard output is read line by line; on `desktop` when one is
    given (a Desktop)."""

    def __init__(self, exe, *args, desktop=None, timeout=60, command_line=None):
        # The session is our own so that the whole group (the program and what Wine starts for
        # it) can be ended by its id; a watchdog ends it after `timeout` seconds. (Not the
        # `timeout` command: under Wine it has been seen to end its command early, as if its
        # timer had run out.) command_line: the text the program gets as it stands, instead of
        # the quoted arguments.
        self._proc = subprocess.Popen(
            wine_command(exe, args, desktop, command_line),
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            cwd=os.path.dirname(os.path.abspath(exe)), env=wine_environment(),
            start_new_session=True)
        self._watchdog = threading.Timer(timeout, self._end_group)
        self._watchdog.daemon = True
        self._watchdog.start()
        self.lines = []
        self.times = []  # when each line came (time.monotonic())
        self.cursor = 0  # where the next wait_line starts looking
        self._changed = threading.Condition()
        self._eof = False
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _end_group(self):
        try:
            os.killpg(self._proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass

    def _read(self):
        for raw in self._proc.stdout:
            line = raw.decode("latin-1").rstrip("\r\n")
            with self._changed:
                self.lines.append(line)
                self.times.append(time.monotonic())
                self._changed.notify_all()
        with self._changed:
            self._eof = True
            self._changed.notify_all()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    # --- the log ---

    def mark(self):
        """The number of lines so far: pass it as `since` to look only at later lines."""
        with self._changed:
            return len(self.lines)

    def wait_line(self, pattern, timeout=10.0, since=None):
        """The match of the first line at or after `since` (default: after the last line found)
        that matches `pattern`; DriveError when none comes in time or the log ends."""
        regex = re.compile(pattern)
        index = self.cursor if since is None else since
        deadline = time.monotonic() + timeout
        with self._changed:
            while True:
                while index < len(self.lines):
                    match = regex.search(self.lines[index])
                    index += 1
                    if match:
                        self.cursor = index
                        return match
                left = deadline - time.monotonic()
                if self._eof or left <= 0:
                    raise DriveError("no line matching %r %s; last lines:\n%s" % (
                        pattern, "before the log ended" if self._eof else "in %.1f s" % timeout,
                        "\n".join(self.lines[-15:])))
                self._changed.wait(left)

    def found_at(self):
        """When the line that the last wait_line found came (time.monotonic())."""
        with self._changed:
            return self.times[self.cursor - 1]

    def first_since(self, pattern, since=0):
        """The match of the first line at or after `since` that matches `pattern`, and when it
        came; (None, None) when there is none yet."""
        regex = re.compile(pattern)
        with self._changed:
            for line, came in zip(self.lines[since:], self.times[since:]):
                match = regex.search(line)
                if match:
                    return match, came
        return None, None

    def matching(self, pattern, since=0, until=None):
        """The matches of every line from `since` to `until` (default: now)."""
        regex = re.compile(pattern)
        with self._changed:
            lines = self.lines[since:until]
        return [m for m in (regex.search(line) for line in lines) if m]

    def ready(self, timeout=30.0):
        """Waits for the READY line and returns its targets."""
        return parse_targets(self.wait_line(r"^READY ", timeout).string)

    # --- the process ---

    def running(self):
        return self._proc.poll() is None

    def wait_exit(self, timeout=10.0):
        """The exit code; DriveError when the program is still running after `timeout`."""
        try:
            code = self._proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise DriveError("the program did not end in %.1f s; last lines:\n%s" % (
                timeout, "\n".join(self.lines[-15:])))
        self._reader.join(5)
        return code

    def group_ended(self, timeout=5.0):
        """Whether every process of the program's group (the program and whatever Wine started
        for it) has ended within `timeout` seconds."""
        group = self._proc.pid
        deadline = time.monotonic() + timeout
        while group_alive(group):
            if time.monotonic() > deadline:
                return False
            time.sleep(0.05)
        return True

    def close(self, linger=5.0):
        """Ends the program if it still runs, and whatever Wine started for it (the desktop's
        own process ends by itself a moment after the program) once `linger` seconds are up;
        releases whatever input is held."""
        release_input()
        if not self.running():
            self.group_ended(linger)
        self._watchdog.cancel()
        self._end_group()
        self._proc.wait(10)
        self._reader.join(5)


def run_helper(exe, *args, desktop=None, timeout=20):
    """Runs a console helper under Wine (on `desktop` when given); its standard output."""
    # A session of its own, ended whole when the helper takes longer than `timeout` seconds.
    helper = subprocess.Popen(wine_command(exe, args, desktop), stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=wine_environment(),
                              start_new_session=True)
    try:
        stdout, _ = helper.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(helper.pid, signal.SIGKILL)
        helper.communicate()
        raise DriveError("%s %s did not end in %d s" % (exe, " ".join(map(str, args)), timeout))
    if helper.returncode != 0:
        raise DriveError("%s %s ended with %d" % (exe, " ".join(map(str, args)), helper.returncode))
    return stdout.decode("latin-1")


# --- input (xdotool on $DISPLAY; no window manager, so the pointer picks the window) ---

def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, stdin=subprocess.DEVNULL)


def move_to(x, y):
    # No --sync: it waits for a motion that never comes when the pointer is there already. The
    # server handles this move before any later input of ours anyway.
    xdotool("mousemove", x, y)


def click(x, y, button=1):
    move_to(x, y)
    xdotool("click", button)


def button_down(button=1):
    xdotool("mousedown", button)


def button_up(button=1):
    xdotool("mouseup", button)


def key(*keys):
    """Presses and releases each key in turn (xdotool names: Return, Escape, alt+F4, q)."""
    xdotool("key", "--delay", 30, *keys)


def release_input():
    """Lets go of every button and modifier a failed check may have left held."""
    subprocess.run(["xdotool", "mouseup", "1", "mouseup", "2", "mouseup", "3",
                    "keyup", "shift", "ctrl", "alt"],
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=False)


# --- top-level windows of the X display (found by their captions, as a person sees them) ---

class XWindow(Placed):
    """A mapped top-level X window: its id, caption and screen rectangle (right, bottom exclusive)."""

    def __init__(self, xid, name, rect):
        self.xid = xid
        self.name = name
        self.rect = rect

    def __repr__(self):
        return "XWindow(%d, %r, %r)" % (self.xid, self.name, self.rect)


@functools.lru_cache(maxsize=None)
def display_size():
    """The screen's width and height (fixed for the display's life), asked of the server once;
    a connection the server refuses under load is tried again a few times."""
    for _ in range(10):
        done = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, check=False,
                              stdin=subprocess.DEVNULL)
        if done.returncode == 0:
            break
        time.sleep(0.3)
    if done.returncode != 0:
        raise DriveError("xdotool getdisplaygeometry failed: %s" % done.stderr.decode(errors="replace").strip())
    width, height = (int(v) for v in done.stdout.split())
    return width, height


def visible_windows():
    """Every mapped top-level window but the screen-sized ones of Wine's desktops, by id."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--maxdepth", "1", "--name", ""],
                           capture_output=True, check=False).stdout.split()
    width, height = display_size()
    windows = {}
    for xid in map(int, found):
        rect = window_rect(xid)
        name = subprocess.run(["xdotool", "getwindowname", str(xid)],
                              capture_output=True, check=False).stdout.decode("latin-1").rstrip("\n")
        if not rect:
            continue  # gone meanwhile
        w, h = rect[2] - rect[0], rect[3] - rect[1]
        if (w, h) == (width, height) or w <= 1 or h <= 1:
            continue
        windows[xid] = XWindow(xid, name, rect)
    return windows


def window_rect(xid):
    """The window's rectangle on the screen as it stands now, or None when it is gone."""
    shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", str(xid)],
                           capture_output=True, check=False).stdout.decode()
    fields = dict(line.split("=", 1) for line in shell.split() if "=" in line)
    try:
        x, y, w, h = (int(fields[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
    except (KeyError, ValueError):
        return None
    return (x, y, x + w, y + h)


def wait_window_gone(xid, timeout=10.0):
    deadline = time.monotonic() + timeout
    while xid in visible_windows():
        if time.monotonic() > deadline:
            raise DriveError("window %d still shown after %.1f s" % (xid, timeout))
        time.sleep(0.1)


def type_text(text):
    """Types the text into whatever has the keyboard focus."""
    xdotool("type", "--delay", 10, text)


# --- screen pixels ---

class Screenshot:
    """The root window's pixels as 8-bit RGB."""

    def __init__(self):
        self.width, self.height = display_size()
        self.data = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                                   capture_output=True, check=True).stdout
        if len(self.data) != self.width * self.height * 3:
            raise DriveError("screenshot of %d bytes for %dx%d" % (
                len(self.data), self.width, self.height))

    def pixel(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.data[offset:offset + 3])

    def differing(self, rect, colour, inset=0):
        """The points of the rectangle (inset on every side) whose pixel is not `colour`."""
        left, top, right, bottom = rect
        return [(x, y) for y in range(top + inset, bottom - inset)
                for x in range(left + inset, right - inset) if self.pixel(x, y) != colour]
