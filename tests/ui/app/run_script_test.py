#!/usr/bin/env python3
"""scripts/run in a session, stopped by SIGTERM: it builds, saying so, starts the
stand-in service and the program, whose update check finds no update, and on
SIGTERM stops both and reports, with no error anywhere.

    run_script_test.py SOURCE_DIR BUILD_DIR SESSION

SESSION is "no-display" (no display: the program runs under the script's own Xvfb,
also when the session asks Qt for Wayland) or "wayland" (a headless weston
whose socket WAYLAND_DISPLAY names, as sessions do, inside the session's
runtime folder)."""
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time

WAIT = 120  # seconds; the script may build what is missing


def fail(message, output):
    print(f"FAILED: {message}\n--- output:\n{''.join(output)}", file=sys.stderr)
    sys.exit(1)


def start_weston(env, runtime):
    """A headless compositor listening in the session's runtime folder."""
    env["XDG_RUNTIME_DIR"] = runtime
    weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--no-config",
                               "--socket=wayland-session", "--idle-time=0"],
                              env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 30
    while not os.path.exists(os.path.join(runtime, "wayland-session")):
        if time.monotonic() > deadline or weston.poll() is not None:
            fail("weston did not start", [])
        time.sleep(0.05)
    env["WAYLAND_DISPLAY"] = "wayland-session"
    return weston


def run_until_up_then_stop(source, env, session):
    # With "debug" the program logs the update check's outcome.
    run = subprocess.Popen([os.path.join(source, "scripts", "run"), "--", "-debug"], env=env,
                           cwd=source,
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                           start_new_session=True)
    output = []
    reader = threading.Thread(target=lambda: output.extend(iter(run.stdout.readline, "")))
    reader.start()
    deadline = time.monotonic() + WAIT
    try:
        folder = None
        socket = None
        # Up, and the update check done: the debug log tells its outcome.
        while not (socket and os.path.exists(socket) and "update_check" in "".join(output)):
            if time.monotonic() > deadline or run.poll() is not None:
                fail("the program did not come up", output)
            for line in list(output):
                if line.startswith("run: folder "):
                    folder = line.split(" ", 2)[2].strip()
                    socket = os.path.join(folder, "runtime", "lumbrel_parvel.socket")
            time.sleep(0.05)
        under_xvfb = "running the program under Xvfb" in "".join(output)
        if under_xvfb != (session == "no-display"):
            fail(f"the script runs under Xvfb only without a display (says so: {under_xvfb})",
                 output)
        run.send_signal(signal.SIGTERM)
        try:
            code = run.wait(WAIT)
        except subprocess.TimeoutExpired:
            fail("scripts/run did not stop", output)
        reader.join()
        text = "".join(output)
        for expected in ("run: building ", "run: built", "run: service at https://127.0.0.1:",
                         "parvel [debug] - update_check: package(", "run: lumbrel-send-photo stopped",
                         "run: the service stopped; it received:"):
            if expected not in text:
                fail(f"no line {expected!r}", output)
        # A run without faults: the feed offers no update, and nothing is refused.
        for unexpected in ("[error]", "refused"):
            if unexpected in text:
                fail(f"a line with {unexpected!r}", output)
        if code != 0:
            fail(f"scripts/run exited with {code}", output)
        if os.path.exists(folder):
            fail("the run's folder is left behind", output)
    finally:
        if run.poll() is None:
            os.killpg(run.pid, signal.SIGKILL)
            run.wait()


def main():
    if len(sys.argv) != 4 or sys.argv[3] not in ("no-display", "wayland"):
        sys.exit("usage: run_script_test.py SOURCE_DIR BUILD_DIR {no-display|wayland}")
    source, build, session = sys.argv[1:]
    env = dict(os.environ, LUMBREL_RUN_BUILD=build)
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    # A session that asks Qt for Wayland: the script's own Xvfb must not follow it.
    env["QT_QPA_PLATFORM"] = "wayland"
    weston = None
    with tempfile.TemporaryDirectory() as runtime:
        os.chmod(runtime, 0o700)
        try:
            if session == "wayland":
                weston = start_weston(env, runtime)
            run_until_up_then_stop(source, env, session)
        finally:
            if weston:
                weston.terminate()
                weston.wait()
    print(f"scripts/run in a session {session}: passed")


if __name__ == "__main__":
    main()
