#!/usr/bin/env python3
"""scripts/run on a machine without a display: it starts the stand-in service
and the program under Xvfb, and on SIGTERM stops both and reports.

    run_script_test.py SOURCE_DIR BUILD_DIR"""
import os
import signal
import subprocess
import sys
import threading
import time

WAIT = 120  # seconds; the script may build what is missing


def fail(message, output):
    print(f"FAILED: {message}\n--- output:\n{''.join(output)}", file=sys.stderr)
    sys.exit(1)


def main():
    source, build = sys.argv[1], sys.argv[2]
    env = dict(os.environ, LUMBREL_RUN_BUILD=build)
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    run = subprocess.Popen([os.path.join(source, "scripts", "run")], env=env, cwd=source,
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                           start_new_session=True)
    output = []
    reader = threading.Thread(target=lambda: output.extend(iter(run.stdout.readline, "")))
    reader.start()
    deadline = time.monotonic() + WAIT
    try:
        folder = None
        socket = None
        while not (socket and os.path.exists(socket)):
            if time.monotonic() > deadline or run.poll() is not None:
                fail("the program did not come up", output)
            for line in list(output):
                if line.startswith("run: folder "):
                    folder = line.split(" ", 2)[2].strip()
                    socket = os.path.join(folder, "runtime", "lumbrel_parvel.socket")
            time.sleep(0.05)
        text = "".join(output)
        if "running the program under Xvfb" not in text:
            fail("the script says it runs under Xvfb", output)
        run.send_signal(signal.SIGTERM)
        try:
            code = run.wait(WAIT)
        except subprocess.TimeoutExpired:
            fail("scripts/run did not stop", output)
        reader.join()
        text = "".join(output)
        for expected in ("run: service at https://127.0.0.1:", "run: lumbrel-send-photo stopped",
                         "run: the service stopped; it received:"):
            if expected not in text:
                fail(f"no line {expected!r}", output)
        if code != 0:
            fail(f"scripts/run exited with {code}", output)
        if os.path.exists(folder):
            fail("the run's folder is left behind", output)
    finally:
        if run.poll() is None:
            os.killpg(run.pid, signal.SIGKILL)
            run.wait()
    print("scripts/run: passed")


if __name__ == "__main__":
    main()
