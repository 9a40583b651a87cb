"""An X server of our own (Xvfb) with a real window manager (openbox), and the tools that drive
programs on it (xdotool, xprop, xwininfo). Standard library only."""

import os
import re
import select
import shutil
import subprocess
import time

TOOLS = ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo")


class Unavailable(Exception):
    """The machine lacks what an X session needs."""


def missing_tools():
    return [tool for tool in TOOLS if shutil.which(tool) is None]


def settings_file(program):
    """The launcher's settings file for a program path: everything before the first "." of the
    whole path, then ".ini"; without any "." the bare ".ini" beside the program."""
    program = os.path.realpath(program)
    dot = program.find(".")
    if dot < 0:
        return os.path.join(os.path.dirname(program), ".ini")
    return program[:dot] + ".ini"


def wait_until(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("gave up waiting for " + what)
        time.sleep(0.05)


class X11Session:
    def __init__(self, width=1024, height=768):
        missing = missing_tools()
        if missing:
            raise Unavailable("missing: " + " ".join(missing))
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        try:
            number = self._read_display(read_end)
        finally:
            os.close(read_end)
        self.env = {k: v for k, v in os.environ.items() if k != "WAYLAND_DISPLAY"}
        self.env.update(DISPLAY=":" + number, QT_QPA_PLATFORM="xcb")
        self.wm = subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        wait_until(self._wm_running, 15, "the window manager")

    def _read_display(self, fd):
        text = b""
        deadline = time.monotonic() + 15
        while not text.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or self.xvfb.poll() is not None:
                self.close()
                raise AssertionError("Xvfb did not start")
            if select.select([fd], [], [], left)[0]:
                chunk = os.read(fd, 64)
                if not chunk:
                    self.close()
                    raise AssertionError("Xvfb did not start")
                text += chunk
        return text.decode().strip()

    def _wm_running(self):
        out = self.tool("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False)
        return "window id" in out

    def tool(self, *args, check=True):
        done = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=20)
        if check and done.returncode != 0:
            raise AssertionError(f"{' '.join(args)} failed: {done.stderr.strip()}")
        return done.stdout

    def start(self, program, cwd, extra_env=None, as_nobody=False):
        env = dict(self.env, **(extra_env or {}))
        command = [program]
        if as_nobody:
            command = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                       program]
        return subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def windows(self, name):
        """The ids of the mapped windows with exactly this title."""
        out = self.tool("xdotool", "search", "--onlyvisible", "--name",
                        "^" + re.escape(name) + "$", check=False)
        return [int(line) for line in out.split()]

    def wait_window(self, name, timeout=15):
        return wait_until(lambda: self.windows(name), timeout, f'a window "{name}"')[0]

    def wait_gone(self, name, timeout=15):
        wait_until(lambda: not self.windows(name), timeout, f'"{name}" to close')

    def geometry(self, window):
        """Left, top, width and height of the window's client area on the screen."""
        out = self.tool("xwininfo", "-id", str(window))
        value = lambda label: int(re.search(label + r":\s+(-?\d+)", out).group(1))
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
                value("Height"))

    def net_wm_state(self, window):
        return self.tool("xprop", "-id", str(window), "_NET_WM_STATE")

    def click(self, x, y, count=1):
        self.tool("xdotool", "mousemove", str(x), str(y))
        self.tool("xdotool", "click", "--repeat", str(count), "--delay", "80", "1")

    def key(self, window, *keys):
        self.tool("xdotool", "windowactivate", "--sync", str(window))
        self.tool("xdotool", "key", "--clearmodifiers", *keys)

    def close(self):
        for process in (getattr(self, "wm", None), self.xvfb):
            if process is not None and process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
