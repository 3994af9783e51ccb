#!/usr/bin/env python3
"""The real lumbrel-send-photo under a private Xvfb server or a private
headless weston, one scenario a run:

    program_test.py PROGRAM HELPER SCENARIO

HELPER is lumbrel-x-helper, or the lumbrel-weston-helper module for the
scenarios named wayland_*. Each run has its own display server,
configuration, data and runtime folders, and bounded waits."""
import base64
import fcntl
import os
import re
import select
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import zlib

WAIT = 30  # seconds; generous for sanitizer builds

# Evdev key codes of what the tests type on the weston helper's keyboard.
KEY_CODES = dict(zip("1234567890", range(2, 12)))
for row, first in (("qwertyuiop", 16), ("asdfghjkl", 30), ("zxcvbnm", 44)):
    KEY_CODES.update(zip(row, range(first, first + len(row))))
CTRL, DOWN, END, RETURN = 29, 108, 107, 28


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(condition, what, timeout=WAIT):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(0.02)


class Session:
    def __init__(self, program, helper, root):
        self.program, self.helper, self.root = program, helper, root
        self.env = dict(os.environ)
        for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "TMPDIR"):
            folder = os.path.join(root, name.lower())
            os.makedirs(folder, mode=0o700)
            self.env[name] = folder
        self.env["XDG_CONFIG_DIRS"] = os.path.join(root, "etc-xdg")
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        self.env["QT_QPA_PLATFORM"] = "xcb"
        self.settings = os.path.join(self.env["XDG_CONFIG_HOME"], "Lumbrel Send Photo", "settings")
        self.config = os.path.join(self.env["XDG_DATA_HOME"], "Lumbrel Send Photo", "parvel.config")
        self.socket = os.path.join(self.env["XDG_RUNTIME_DIR"], "lumbrel_parvel.socket")
        self.lock = os.path.join(self.env["XDG_RUNTIME_DIR"], "lumbrel_parvel.lock")
        self.xvfb = None
        self.weston = None
        self.claim = None
        self.children = []

    def claim_display(self):
        """A display number no other run of ours uses until this one's server
        has ended: a dying server still holds its sockets after it removed its
        lock file, so the lock file alone cannot tell."""
        for number in range(20, 1000):
            claim = open(os.path.join(tempfile.gettempdir(), f"lumbrel-xvfb-{number}.claim"), "w")
            try:
                fcntl.flock(claim, fcntl.LOCK_EX | fcntl.LOCK_NB)
            except BlockingIOError:
                claim.close()
                continue
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                claim.close()
                continue
            self.claim = claim
            return number
        raise Failure("no free X display")

    def start_x(self):
        number = self.claim_display()
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", f":{number}", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        # The number and its newline come in two writes; closing the pipe
        # between them kills the server.
        display = b""
        while not display.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], WAIT)
            check(ready, "Xvfb did not start")
            piece = os.read(read_end, 64)
            check(piece, "Xvfb did not start")
            display += piece
        os.close(read_end)
        display = display.decode().strip()
        check(display == str(number) and self.xvfb.poll() is None, "Xvfb did not start")
        self.env["DISPLAY"] = ":" + display

    def start_weston(self):
        """A headless weston with the helper module, its socket in the
        session's runtime folder as a desktop session's is."""
        control = os.path.join(self.root, "weston-helper.socket")
        weston_env = dict(self.env, LUMBREL_WESTON_HELPER=control)
        self.weston_log = os.path.join(self.root, "weston.log")
        with open(self.weston_log, "wb") as log:
            self.weston = subprocess.Popen(
                ["weston", "--backend=headless-backend.so", "--no-config", "--idle-time=0",
                 "--width=1280", "--height=1024", "--socket=wayland-test",
                 f"--modules={self.helper}"],
                env=weston_env, stdout=log, stderr=log)
        wait_for(lambda: os.path.exists(control) or self.weston.poll() is not None, "weston")
        check(self.weston.poll() is None, "weston did not start")
        self.control = control
        self.env["WAYLAND_DISPLAY"] = "wayland-test"
        self.env["QT_QPA_PLATFORM"] = "wayland"

    def ask_weston(self, request):
        with socket.socket(socket.AF_UNIX) as connection:
            connection.settimeout(WAIT)
            connection.connect(self.control)
            connection.sendall(request.encode() + b"\n")
            reply = b""
            while piece := connection.recv(4096):
                reply += piece
        return reply.decode().splitlines()

    def wayland_toplevels(self, pid):
        """(surface, x, y, width, height, state) of each top-level window of
        pid; surface is the client's id of its surface, which a new map changes."""
        return [(int(surface), int(x), int(y), int(w), int(h), state)
                for kind, owner, surface, x, y, w, h, state in
                (line.split() for line in self.ask_weston("windows") if line.startswith("window "))
                if int(owner) == pid]

    def wayland_windows(self, pid):
        """(x, y, width, height, state) of each top-level window of pid."""
        return [window[1:] for window in self.wayland_toplevels(pid)]

    def press(self, *chords):
        """Keys of the helper's keyboard, which goes to the window last clicked;
        a chord as "29+30" (Ctrl+A)."""
        check(self.ask_weston("keys " + " ".join(map(str, chords))) == ["typed"], "keys pressed")

    def type_on_wayland(self, text):
        """A key a letter, at a person's pace: a window the compositor maps
        meanwhile may take the keys that follow."""
        for letter in text:
            self.press(KEY_CODES[letter])
            time.sleep(0.2)

    def copied_from_focus(self, expected):
        """Ctrl+A, Ctrl+C and End in the focused field; waits until the
        clipboard holds expected, as its holder writes it out."""
        self.press(f"{CTRL}+{KEY_CODES['a']}", f"{CTRL}+{KEY_CODES['c']}", END)
        path = os.path.join(self.root, "selection")

        def holds():
            if self.ask_weston(f"selection {path}") != ["asked"]:
                return False
            time.sleep(0.1)
            with open(path, encoding="utf-8") as f:
                return f.read() == expected
        wait_for(holds, f"{expected!r} copied from the field", timeout=5)

    def watch_maps(self, timeout_ms=WAIT * 1000, count=1):
        watcher = subprocess.Popen([self.helper, "watch-map", str(timeout_ms), str(count)],
                                   env=self.env, stdout=subprocess.PIPE, text=True)
        self.children.append(watcher)
        check(watcher.stdout.readline().strip() == "ready", "the X helper did not start")
        return watcher

    def start_window_manager(self, left, right, top, bottom):
        manager = subprocess.Popen(
            [self.helper, "window-manager", str(left), str(right), str(top), str(bottom)],
            env=self.env, stdout=subprocess.PIPE, text=True)
        self.children.append(manager)
        check(manager.stdout.readline().strip() == "ready", "the window manager did not start")
        return manager

    def start_openbox(self):
        """openbox as a desktop runs it, with its four desktops."""
        self.children.append(subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for(lambda: "window id" in self.root_property("_NET_SUPPORTING_WM_CHECK"), "openbox")

    def root_property(self, name):
        return self.property("-root", name)

    def property(self, window, name):
        """xprop's line for a property of a window ("-root": the root window)."""
        where = [window] if window == "-root" else ["-id", window]
        return subprocess.run(["xprop", *where, name], env=self.env, capture_output=True,
                              text=True).stdout

    def own_clipboard(self, target, data):
        """A program that copied data as target and runs on; kill it to empty the clipboard."""
        path = os.path.join(self.root, "clipboard")
        with open(path, "wb") as f:
            f.write(data)
        owner = subprocess.Popen([self.helper, "own-clipboard", target, path], env=self.env,
                                 stdout=subprocess.PIPE, text=True)
        self.children.append(owner)
        check(owner.stdout.readline().strip() == "ready", "the X helper did not own the clipboard")
        return owner

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True)

    def start(self, *args, stderr=subprocess.PIPE, **environment):
        # Bytes: the log's lines end in CR LF, which text mode would rewrite.
        child = subprocess.Popen([self.program, *args], env=dict(self.env, **environment),
                                 stdout=subprocess.DEVNULL, stderr=stderr)
        self.children.append(child)
        return child

    def close(self):
        for child in self.children:
            if child.poll() is None:
                child.kill()
                child.wait()
        for server in (self.xvfb, self.weston):
            if server:
                server.terminate()
                server.wait()
        if self.claim:
            self.claim.close()


def mapped(watcher):
    """(window, pid) of the next window mapped, or None on the helper's time-out."""
    line = watcher.stdout.readline().split()
    if not line or line[0] != "mapped":
        return None
    return line[1], int(line[2])


def exit_code(child):
    try:
        child.wait(WAIT)
    except subprocess.TimeoutExpired:
        raise Failure(f"{child.args[0]} did not end")
    if child.returncode < 0 and child.stderr:
        # A crash's own words say more than its signal.
        sys.stderr.write(child.stderr.read().decode(errors="replace")[-4000:])
    return child.returncode


def start_and_map(session, *args, **options):
    watcher = session.watch_maps()
    program = session.start(*args, **options)
    window = mapped(watcher)
    check(window is not None, "the program mapped no window")
    check(window[1] == program.pid, f"the window mapped belongs to pid {window[1]}")
    return program, window[0]


def close_normally(session, program, window):
    subprocess.run([session.helper, "close", window], env=session.env, check=True)
    code = exit_code(program)
    check(code == 1, f"a closed frame ends the program with 1, not {code}")


def saved_settings(s):
    with open(s.settings, encoding="utf-8") as f:
        return dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)


def saved_frame(s):
    """The saved normal rectangle (left, top, right, bottom): the last four of
    the record's eleven little-endian fields."""
    return struct.unpack("<11i", base64.b64decode(saved_settings(s)["Placement"]))[7:]


def maps_and_close_saves(s):
    program, window = start_and_map(s)
    close_normally(s, program, window)
    values = saved_settings(s)
    check(values.get("Fullscreen") == "0", f"settings written: {values}")
    check(len(values.get("Placement", "")) == 60, "the placement record is 44 bytes in Base64")
    check(os.path.exists(s.config), "the user's config is written")


def sigterm_ends_without_saving(s):
    program, _ = start_and_map(s)
    program.send_signal(signal.SIGTERM)
    code = exit_code(program)
    check(code == 1, f"SIGTERM ends the program with 1 (not by the signal), got {code}")
    check(not os.path.exists(s.settings), "SIGTERM writes no settings")
    check(not os.path.exists(s.config), "SIGTERM writes no config")


def for_each_row(rows, run):
    for row in rows:
        try:
            run(row)
        except Failure as failure:
            raise Failure(f"{row}: {failure}")


def listening(s, first):
    wait_for(lambda: os.path.exists(s.socket) or first.poll() is not None, "the first instance")
    check(first.poll() is None, "the first instance runs")


def managed_window_of(s, pid):
    """The window openbox manages for pid, once it manages one."""
    found = []

    def managed():
        listed = s.root_property("_NET_CLIENT_LIST").partition("#")[2]
        found[:] = [w.strip() for w in listed.split(",") if w.strip() and
                    s.property(w.strip(), "_NET_WM_PID").endswith(f" {pid}\n")]
        return found
    wait_for(managed, "openbox managing the window")
    return found[0]


def second_start_reaches_openbox(s, away):
    """The window on a desktop not shown, the user's switch or the window
    sent there: a second start asks openbox to activate it, which openbox
    answers as its rules decide (here it marks the window as wanting
    attention), and ends with 255."""
    def map_state():
        return subprocess.run(["xwininfo", "-id", window], env=s.env, capture_output=True,
                              text=True).stdout
    first = s.start()
    listening(s, first)
    window = managed_window_of(s, first.pid)
    wait_for(lambda: "IsViewable" in map_state(), "the window shown")
    if away == "user":
        s.xdotool("set_desktop", "1")
    else:
        s.xdotool("set_desktop_for_window", window, "2")
    wait_for(lambda: "IsUnMapped" in map_state(), "the window on a desktop not shown")
    code = exit_code(s.start())
    check(code == 255, f"a second start exits with 255, got {code}")

    def answered():
        def value(line):
            return line.rpartition("=")[2].strip()
        on_the_desktop_shown = (value(s.root_property("_NET_CURRENT_DESKTOP"))
                                == value(s.property(window, "_NET_WM_DESKTOP")))
        return (on_the_desktop_shown
                or "_NET_WM_STATE_DEMANDS_ATTENTION" in s.property(window, "_NET_WM_STATE"))
    wait_for(answered, "openbox to answer the activation request")
    close_normally(s, first, window)


def second_start_shows_first(s):
    """The first window started hidden, then minimised by a window manager
    (which unmaps it): a second start shows it and ends with 255. A first
    instance too busy to take the minimise in before the request (stopped
    until the second start ended) shows it all the same. Then, under openbox,
    the window on another desktop."""
    managed = []
    openbox = []

    def run(hidden_by):
        busy = hidden_by == "window manager, first busy"
        if hidden_by.startswith("openbox"):
            if not openbox:
                # In the stand-in's place: one window manager a display.
                for helper in managed:
                    helper.kill()
                    helper.wait()
                s.start_openbox()
                openbox.append(True)
            second_start_reaches_openbox(s, "user" if hidden_by.endswith("user") else "window")
            return
        if hidden_by == "tray":
            first = s.start("-tray")
        else:
            if not managed:
                managed.append(s.start_window_manager(4, 4, 30, 4))
            first, window = start_and_map(s)
            listening(s, first)
            if busy:
                time.sleep(0.5)  # the first takes its own map in, as an idle one has
                os.kill(first.pid, signal.SIGSTOP)
            s.xdotool("windowminimize", window)
            wait_for(lambda: "IsUnMapped" in subprocess.run(
                ["xwininfo", "-id", window], env=s.env, capture_output=True, text=True).stdout,
                "the window minimised")
        listening(s, first)
        watcher = s.watch_maps()
        code = exit_code(s.start())
        check(code == 255, f"a second start exits with 255, got {code}")
        if busy:
            os.kill(first.pid, signal.SIGCONT)
        window = mapped(watcher)
        check(window is not None, "the first window was shown")
        check(window[1] == first.pid, "the window shown is the first instance's")
        close_normally(s, first, window[0])
    for_each_row(("tray", "window manager", "window manager, first busy",
                  "openbox, another desktop by the user", "openbox, another desktop by the window"),
                 run)


def runtime_folder_unusable(s, make_unusable):
    """The runtime folder cannot hold the lock: the private temporary folder
    holds it instead, and a second start still ends at once."""
    make_unusable(s)
    first, window = start_and_map(s)
    code = exit_code(s.start())
    check(code == 255, f"a second start exits with 255, got {code}")
    fallback = os.path.join(s.env["TMPDIR"], f"lumbrel-send-photo-{os.getuid()}")
    check(os.path.exists(os.path.join(fallback, "lumbrel_parvel.socket")),
          "the first instance listens in the private temporary folder")
    close_normally(s, first, window)


# Gone with the folder above it, as after a reboot: Qt makes a missing
# runtime folder, but not its parents.
def one_instance_without_runtime_folder(s):
    def remove(session):
        os.rmdir(session.env["XDG_RUNTIME_DIR"])
        session.env["XDG_RUNTIME_DIR"] = os.path.join(session.root, "gone", "runtime")
    runtime_folder_unusable(s, remove)


# The program runs without the privileges that would let root write there.
def one_instance_with_read_only_runtime_folder(s):
    runtime_folder_unusable(s, lambda session: os.chmod(session.env["XDG_RUNTIME_DIR"], 0o500))


def start_while_first_starts(s):
    # The lock held and no socket yet: a first instance that has not made its window.
    with open(s.lock, "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        watcher = s.watch_maps(timeout_ms=1500)
        code = exit_code(s.start())
        check(code == 255, f"a start while the first starts exits with 255, got {code}")
        check(mapped(watcher) is None, "nothing is shown")


def frame_keeps_its_size_under_a_window_manager(s):
    # A title bar 30 pixels high and 4-pixel borders, as a decorating window manager draws them.
    s.start_window_manager(4, 4, 30, 4)
    frames = []
    for _ in range(3):
        program, window = start_and_map(s)
        close_normally(s, program, window)
        frames.append(saved_frame(s))
    check(frames == [(50, 20, 800, 600)] * 3,
          f"each start restores the default outer 750 x 580 at 50,20; saved {frames}")


def start_on_wayland(s, *args, **environment):
    program = s.start(*args, **environment)
    wait_for(lambda: s.wayland_windows(program.pid) or program.poll() is not None,
             "the program's window")
    check(program.poll() is None, f"the program ended with {program.returncode}")
    return program


def wait_for_window(s, program, width, height, state):
    """Waits until the program's one window has that size (its window
    geometry, the title bar Qt draws under weston included) and state."""
    windows = []

    def shown():
        windows[:] = [w[2:] for w in s.wayland_windows(program.pid)]
        return windows == [(width, height, state)]
    try:
        wait_for(shown, f"a {state} window {width} x {height}", timeout=WAIT)
    except Failure:
        raise Failure(f"expected a {state} window {width} x {height}, shown {windows}")


def close_on_wayland(s, program):
    check(s.ask_weston(f"close {program.pid}") == ["closed 1"], "weston asks the window to close")
    code = exit_code(program)
    check(code == 1, f"a closed frame ends the program with 1, not {code}")


def saved_show_command(s):
    return struct.unpack("<11i", base64.b64decode(saved_settings(s)["Placement"]))[2]


def late_frame_callbacks():
    """The environment of a start whose Qt destroys its frame callbacks late:
    30 ms late on its frame thread, and 150 ms before it goes on elsewhere."""
    return {"LD_PRELOAD": os.environ["LUMBREL_SLOW_FRAME_CALLBACK_DESTROY"]}


def wayland_closes_keep_the_placement(s):
    """Closes by the title bar's close button that Qt draws, and by the
    compositor after it made the window fill the output, which takes Qt's
    decorations away, also after the compositor was held; also with Qt's
    frame callbacks destroyed late, and by SIGTERM, which saves nothing."""
    def run(row):
        close, late = row
        program = start_on_wayland(s, **(late_frame_callbacks() if late else {}))
        wait_for_window(s, program, 750, 580, "normal")
        if close == "close button":
            click_title_button(s, program, 12)
        elif close == "SIGTERM":
            program.send_signal(signal.SIGTERM)
        else:
            if close == "compositor, held first":
                # Stopped as a busy machine may stop it: the frames Qt draws
                # meanwhile (the focused field's cursor blinks twice a second)
                # go unanswered, and Qt takes the window for unexposed until
                # the compositor answers again.
                os.kill(s.weston.pid, signal.SIGSTOP)
                time.sleep(1.2)
                os.kill(s.weston.pid, signal.SIGCONT)
            check(s.ask_weston(f"fullscreen {program.pid}") == ["fullscreen 1"], "full screen")
            wait_for_window(s, program, 1280, 1024, "fullscreen")
            check(s.ask_weston(f"close {program.pid}") == ["closed 1"], "weston closes")
        code = exit_code(program)
        check(code == 1, f"a closed frame ends the program with 1, not {code}")
        # Weston places windows itself and tells no client where: the position stays as saved.
        frame = (saved_frame(s), saved_show_command(s))
        check(frame == ((50, 20, 800, 600), 1),
              f"the close saves the default outer 750 x 580 at 50,20, shown normally; saved {frame}")
        if close == "SIGTERM":
            check(os.path.getmtime(s.settings) == saved_at[0], "SIGTERM writes no settings")
        saved_at[:] = [os.path.getmtime(s.settings)]
    saved_at = []
    rows = [("close button", False), ("compositor", False), ("compositor, held first", False)] * 3
    rows += [("close button", True), ("compositor", True), ("SIGTERM", True)] * 2
    for_each_row(rows, run)


def wayland_contact_popup_keeps_the_typing(s):
    """Typing into To with saved contacts on weston: the letters stay in To,
    the completion popup shows inside the window (no window of its own for
    the compositor to place and activate), and a click on its row or its
    keys complete the address."""
    os.makedirs(os.path.dirname(s.config))
    with open(s.config, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="utf-8"?><user email=""><contacts>'
                '<contact email="bob@example.com" /><contact email="emma@example.org" />'
                '<contact email="emmet@example.net" /></contacts></user>')
    program = start_on_wayland(s)
    wait_for_window(s, program, 750, 580, "normal")
    x, y, _, _, _ = s.wayland_windows(program.pid)[0]

    def click(client_y):
        # Under Qt's title bar, 30 high; the helper clicks 200 ms after it answers.
        check(s.ask_weston(f"click {x + 300} {y + 30 + client_y}") == ["clicked"], "a click")
        time.sleep(0.5)
    click(85)  # To lies from 78 to 99 whatever the fonts
    s.type_on_wayland("emma")
    s.copied_from_focus("emma")
    windows = s.wayland_windows(program.pid)
    check(len(windows) == 1, f"the popup is no window of its own: {windows}")
    click(111)  # the popup's first row, just under To
    s.copied_from_focus("emma@example.org; ")
    s.type_on_wayland("em")
    s.press(DOWN, DOWN, RETURN)
    s.copied_from_focus("emma@example.org; emmet@example.net; ")
    close_on_wayland(s, program)


def click_title_button(s, program, from_right):
    """A click on a button of the title bar Qt draws: 12 pixels from its right
    end the close button, 37 the maximise or restore button, 63 the minimise
    button."""
    x, y, width, _, _ = s.wayland_windows(program.pid)[0]
    check(s.ask_weston(f"click {x + width - from_right} {y + 15}") == ["clicked"], "a click")


def wayland_second_start_shows_first(s):
    """As on X11, with the first window started hidden, then minimised by its
    title bar's button, which takes it off weston's screen, or maximised and
    covered by another maximised window; also with Qt's frame callbacks
    destroyed late. The second start passes on the activation token a
    launcher gave it; the window comes back as it was, its restore button
    gives it back its normal size and its maximise button fills the screen
    again."""
    def run(row):
        hidden_by, late = row
        environment = late_frame_callbacks() if late else {}
        maximised = cover = None
        # Each row starts from the default placement.
        if os.path.exists(s.settings):
            os.remove(s.settings)
        if hidden_by == "tray":
            first = s.start("-tray", **environment)
        else:
            first = start_on_wayland(s, **environment)
            wait_for_window(s, first, 750, 580, "normal")
            if hidden_by == "title bar":
                click_title_button(s, first, 63)
                wait_for(lambda: not s.wayland_windows(first.pid), "the window minimised")
            else:
                click_title_button(s, first, 37)
                wait_for(lambda: s.wayland_windows(first.pid)[0][4] == "maximized",
                         "the window maximised")
                maximised = s.wayland_windows(first.pid)[0][2:4]
                cover = subprocess.Popen(["weston-terminal", "--maximized"], env=s.env,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                s.children.append(cover)
                wait_for(lambda: s.wayland_windows(cover.pid), "the covering window")
        listening(s, first)
        surfaces = [window[0] for window in s.wayland_toplevels(first.pid)]
        code = exit_code(s.start(XDG_ACTIVATION_TOKEN="launcher-token-1"))
        check(code == 255, f"a second start exits with 255, got {code}")
        # The window may be mapped anew only once its frame is answered: a
        # click before would meet the window under it.
        wait_for(lambda: [window[0] for window in s.wayland_toplevels(first.pid)]
                 not in ([], surfaces), "the window mapped anew")
        if maximised:
            wait_for_window(s, first, *maximised, "maximized")
            click_title_button(s, first, 37)
        wait_for_window(s, first, 750, 580, "normal")
        if maximised:
            click_title_button(s, first, 37)
            wait_for_window(s, first, *maximised, "maximized")
        close_on_wayland(s, first)
        if maximised:
            check((saved_frame(s), saved_show_command(s)) == ((50, 20, 800, 600), 3),
                  "the close saves the normal 750 x 580 at 50,20, shown maximised")
            cover.kill()
            cover.wait()
    rows = [(hidden_by, late) for hidden_by in ("tray", "title bar", "maximised, then covered")
            for late in (False, True) if hidden_by != "tray" or not late]
    for_each_row(rows, run)


def wayland_close_ends_with_slow_event_threads(s):
    """A close on a machine so loaded that Qt's Wayland event threads wake
    late: the program saves and ends all the same, which frees the lock for
    the next start."""
    s.env["LD_PRELOAD"] = os.environ["LUMBREL_SLOW_WAYLAND_WAKE"]
    program = start_on_wayland(s)
    wait_for_window(s, program, 750, 580, "normal")
    close_on_wayland(s, program)
    check(saved_show_command(s) == 1 and os.path.exists(s.config), "the close saved")


def png(width, height):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + b"\xff\0\0" * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def message_paste_survives_any_clipboard(s):
    """Ctrl+V in the Message field with nothing on the clipboard (a fresh
    session, or the program that copied has quit), with text and with an
    image on it: the program goes on and closes as usual."""
    program, window = start_and_map(s)
    # No window manager: the frame's client area is at the default 50,20.
    # A click in the To field, whose top is at 78 whatever the fonts, then
    # the tab order To, From, Subject, Message.
    s.xdotool("mousemove", "350", str(20 + 85), "click", "1")
    s.xdotool("key", "Tab", "Tab", "Tab", "ctrl+v")
    for target, data in (("UTF8_STRING", "pasted text".encode()), ("image/png", png(4, 4))):
        owner = s.own_clipboard(target, data)
        s.xdotool("key", "ctrl+v")
        ready, _, _ = select.select([owner.stdout], [], [], WAIT)
        check(ready and owner.stdout.readline().strip() == "asked",
              f"the program asked for the clipboard holding {target}; "
              f"its exit code so far: {program.poll()}")
        # Gone, as a program that copied and quit: the clipboard is empty again.
        owner.kill()
        owner.wait()
        s.xdotool("key", "ctrl+v")
    # Events come in order: the close is handled after the pastes.
    close_normally(s, program, window)


def debug_prints_version(s):
    program, window = start_and_map(s, "-debug")
    close_normally(s, program, window)
    errors = program.stderr.read().decode("utf-8", "replace")
    check(re.search(r"^parvel \[debug\] - Application Version: '\d+\.\d+\.\d+\.\d+' \(X86\)\r$",
                    errors, re.M), f"the version line on standard error: {errors!r}")
    # A log reader that goes away (| head -1): the lines after it are lost,
    # the program lives on.
    reader, writer = os.pipe()
    os.close(reader)
    try:
        program, window = start_and_map(s, "-debug", stderr=writer)
    finally:
        os.close(writer)
    close_normally(s, program, window)


def starts_whatever_tmpdir_holds(s):
    missing = os.path.join(s.root, "gone-after-reboot")
    a_file = os.path.join(s.root, "a-file")
    with open(a_file, "w"):
        pass
    cases = [(missing, "No such file or directory"), (a_file, "Not a directory")]
    # Root writes wherever it likes.
    if os.geteuid() != 0:
        read_only = os.path.join(s.root, "read-only")
        os.mkdir(read_only, 0o500)
        cases.append((read_only, "Permission denied"))
    for tmpdir, reason in cases:
        s.env["TMPDIR"] = tmpdir
        program, window = start_and_map(s, "-debug")
        close_normally(s, program, window)
        errors = program.stderr.read().decode("utf-8", "replace")
        skipped = re.findall(rf"^parvel \[warning\] - Cannot use the temp folder {re.escape(tmpdir)}: "
                             rf"{reason}; using /\S+/lumbrel-send-photo-{os.getuid()}\r$", errors, re.M)
        check(len(skipped) == 1, f"TMPDIR {tmpdir}: one line saying why, got {errors!r}")


SCENARIOS = {f.__name__: f for f in (maps_and_close_saves, sigterm_ends_without_saving,
                                      second_start_shows_first,
                                      one_instance_without_runtime_folder,
                                      one_instance_with_read_only_runtime_folder,
                                      start_while_first_starts,
                                      frame_keeps_its_size_under_a_window_manager,
                                      message_paste_survives_any_clipboard,
                                      debug_prints_version, starts_whatever_tmpdir_holds,
                                      wayland_closes_keep_the_placement,
                                      wayland_contact_popup_keeps_the_typing,
                                      wayland_second_start_shows_first,
                                      wayland_close_ends_with_slow_event_threads)}


def main():
    if len(sys.argv) != 4 or sys.argv[3] not in SCENARIOS:
        sys.exit(f"usage: program_test.py PROGRAM HELPER {{{'|'.join(SCENARIOS)}}}")
    with tempfile.TemporaryDirectory() as root:
        session = Session(sys.argv[1], sys.argv[2], root)
        try:
            if sys.argv[3].startswith("wayland_"):
                session.start_weston()
            else:
                session.start_x()
            SCENARIOS[sys.argv[3]](session)
        except Failure as failure:
            print(f"FAILED: {failure}", file=sys.stderr)
            if session.weston:
                # What the compositor saw of the clients: protocol errors, lost connections.
                with open(session.weston_log, errors="replace") as log:
                    sys.stderr.write("--- weston's log:\n" + log.read()[-4000:])
            sys.exit(1)
        finally:
            session.close()
    print(f"{sys.argv[3]}: passed")


if __name__ == "__main__":
    main()
