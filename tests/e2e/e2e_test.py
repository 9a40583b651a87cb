#!/usr/bin/env python3
"""The real launcher under Xvfb and openbox, driven like a player would: where its window goes,
the splash, what the emulator receives, and when the settings file is written.

Usage: e2e_test.py CASE VODAVAV VEMOX_STANDIN
Exits 0 when the case passes, 1 when it fails, 77 when the machine has no X tools."""

import grp
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from x11session import Unavailable, X11Session, settings_file, wait_until  # noqa: E402

SKIPPED = 77
TITLE = "vodavav"
SPLASH = "splach screen"
BOX = "ZARID ERUVO"

# Places inside the main window's client area.
EXIT_PICTURE = (520 + 24 + 36, 338 + 52 + 20)


def file_entry(row):
    return (18 + 40, 186 + 1 + 13 * row + 6)


ROMS = ["Sonic Blast.SMS", "Wonder Boy.sms", "columns.gg", "README.txt"]
KEY_COUNT = 33


class Copy:
    """The program copied into a directory of its own, so its settings file lands there."""

    def __init__(self, program, standin):
        self.dir = tempfile.mkdtemp(prefix="vodavav-e2e-")
        self.program = os.path.join(self.dir, "vodavav")
        shutil.copy2(program, self.program)
        self.standin = standin
        self.roms = os.path.join(self.dir, "roms")
        os.mkdir(self.roms)
        for name in ROMS:
            open(os.path.join(self.roms, name), "wb").close()
        self.settings = settings_file(self.program)
        self.log = os.path.join(self.dir, "standin.log")

    def write_settings(self, **values):
        lines = ["[DezovESettings]"] + [f"{k}={v}" for k, v in values.items()]
        with open(self.settings, "w") as f:
            f.write("\n".join(lines) + "\n")

    def settings_text(self):
        try:
            with open(self.settings, "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    def remove(self):
        shutil.rmtree(self.dir, ignore_errors=True)


def start(session, copy, **kwargs):
    process = session.start(copy.program, cwd=copy.dir, **kwargs)
    try:
        window = session.wait_window(TITLE)
    except AssertionError:
        process.kill()
        raise
    left, top, _, _ = session.geometry(window)
    return process, window, (left, top)


def click_at(session, origin, place, count=1):
    session.click(origin[0] + place[0], origin[1] + place[1], count)


def ended(process, timeout=15):
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        raise AssertionError("the launcher did not end")


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def check_saved(copy):
    text = copy.settings_text()
    check(text is not None, "no settings file was written")
    keys = [line for line in text.decode().splitlines() if "=" in line and line[:1] not in "[;"]
    check(len(keys) == KEY_COUNT, f"{len(keys)} keys written:\n{text.decode()}")
    return text.decode()


def standin_record(copy):
    """The stand-in's log once it is complete: its directory and its arguments."""
    def complete():
        try:
            with open(copy.log, "rb") as f:
                text = f.read()
        except FileNotFoundError:
            return None
        return text if text.endswith(b"end\n") else None

    text = wait_until(complete, 15, "the stand-in emulator's log").decode()
    lines = text.splitlines()
    cwd = [line[4:] for line in lines if line.startswith("cwd=")]
    args = [line[4:] for line in lines if line.startswith("arg=")]
    return cwd, args


def window_icon(session, window):
    out = session.tool("xprop", "-id", str(window), "_NET_WM_ICON", check=False)
    return out if "Icon (" in out else None


def case_placement(program, standin):
    for screen, place in (((1024, 768), (187, 144)), ((640, 480), (-5, 0))):
        copy = Copy(program, standin)
        try:
            copy.write_settings(SplashScreen=0)
            with X11Session(*screen) as session:
                process, window, origin = start(session, copy)
                check(session.geometry(window) == (*place, 644, 453),
                      f"on {screen}: {session.geometry(window)}")
                state = session.net_wm_state(window)
                check("_NET_WM_STATE_SKIP_TASKBAR" in state and "_NET_WM_STATE_SKIP_PAGER" in state,
                      "taskbar state: " + state)
                # The icon comes once the window is drawn, at every size it is made in.
                icon = wait_until(lambda: window_icon(session, window), 15, "the window's icon")
                check(all(f"Icon ({n} x {n})" in icon for n in (16, 24, 32, 48, 64, 128)),
                      "icon sizes")
                click_at(session, origin, EXIT_PICTURE)
                check(ended(process) == 0, "exit status")
        finally:
            copy.remove()


def case_splash(program, standin):
    copy = Copy(program, standin)
    try:
        with X11Session() as session:
            # The first start, with no settings file: the splash, centred on the screen.
            process, _, origin = start(session, copy)
            splash = session.wait_window(SPLASH)
            check(session.geometry(splash) == ((1024 - 288) // 2, (768 - 344) // 2, 288, 344),
                  f"splash at {session.geometry(splash)}")
            state = session.net_wm_state(splash)
            check("_NET_WM_STATE_SKIP_TASKBAR" in state, "splash taskbar state: " + state)
            session.key(splash, "a")
            check(session.windows(SPLASH), "a letter closed the splash")
            session.key(splash, "Escape")
            session.wait_gone(SPLASH)
            click_at(session, origin, EXIT_PICTURE)
            check(ended(process) == 0, "exit status")
            check("SplashScreen=1" in check_saved(copy), "the splash flag was not kept")

            # With the flag at 0 no splash comes: EXIT, which a modal splash would block, works.
            copy.write_settings(SplashScreen=0)
            process, _, origin = start(session, copy)
            click_at(session, origin, EXIT_PICTURE)
            check(ended(process) == 0, "exit status")
            check(not session.windows(SPLASH), "a splash showed")
    finally:
        copy.remove()


def launch(program, standin, exit_on_launch):
    copy = Copy(program, standin)
    try:
        copy.write_settings(SplashScreen=0, VemoxPath=standin, RomDirectory=copy.roms,
                            RomFilter=1, ExitOnLaunch=int(exit_on_launch))
        with open(copy.settings, "a") as f:
            f.write("[ControlSettings]\nControllerType=2\nJoySensitivity=4\n")
        with X11Session() as session:
            process, _, origin = start(
                session, copy,
                extra_env={"VEMOX_STANDIN_LOG": copy.log, "VEMOX_STANDIN_EXIT": "1"})
            click_at(session, origin, file_entry(0), count=2)
            cwd, args = standin_record(copy)
            check(cwd == [copy.roms], f"working directory {cwd}")
            expected = [os.path.join(copy.roms, "Sonic Blast.SMS"), "-joy", "-joysens", "5",
                        "-noenter"]
            check(args == expected, f"arguments {args}")
            if exit_on_launch:
                check(ended(process) == 0, "exit status")
                saved = check_saved(copy)
                check("ExitOnLaunch=1" in saved and "Lastrom=0" in saved, saved)
            else:
                check(process.poll() is None, "the launcher ended without Exit on Launch")
                check(copy.settings_text().count(b"=") < KEY_COUNT, "written before the end")
                click_at(session, origin, EXIT_PICTURE)
                check(ended(process) == 0, "exit status")
    finally:
        copy.remove()


def case_launch(program, standin):
    launch(program, standin, exit_on_launch=False)


def case_exit_on_launch(program, standin):
    launch(program, standin, exit_on_launch=True)


def ending(program, standin, how):
    copy = Copy(program, standin)
    try:
        copy.write_settings(SplashScreen=0, RomDirectory=copy.roms)
        before = copy.settings_text()
        with X11Session() as session:
            process, window, origin = start(session, copy)
            if how == "exit":
                click_at(session, origin, EXIT_PICTURE)
            elif how == "close":
                session.key(window, "alt+F4")
            else:
                process.send_signal(signal.SIGKILL)
            status = ended(process)
        if how == "kill":
            check(copy.settings_text() == before, "a killed launcher changed the settings file")
        else:
            check(status == 0, "exit status")
            check(f"RomDirectory={copy.roms}" in check_saved(copy), "directory not saved")
    finally:
        copy.remove()


def case_exit(program, standin):
    ending(program, standin, "exit")


def case_window_close(program, standin):
    ending(program, standin, "close")


def case_killed(program, standin):
    ending(program, standin, "kill")


def case_read_only(program, standin):
    copy = Copy(program, standin)
    try:
        copy.write_settings(SplashScreen=0, RomDirectory=copy.roms)
        os.chmod(copy.settings, 0o444)
        as_nobody = os.geteuid() == 0
        if as_nobody:
            # Root writes anything: the refusal needs a user the file refuses.
            uid, gid = pwd.getpwnam("nobody").pw_uid, grp.getgrnam("nogroup").gr_gid
            for root, dirs, files in os.walk(copy.dir):
                for name in [root] + [os.path.join(root, n) for n in dirs + files]:
                    os.chown(name, uid, gid)
        before = copy.settings_text()
        with X11Session() as session:
            process, _, origin = start(session, copy, as_nobody=as_nobody)
            click_at(session, origin, EXIT_PICTURE)
            box = session.wait_window(BOX)
            check(not session.windows(TITLE), "the main window is still shown with the error")
            session.key(box, "Return")
            check(ended(process) == 0, "exit status")
        check(copy.settings_text() == before, "the read-only file changed")
    finally:
        copy.remove()


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    case, program, standin = sys.argv[1:]
    test = globals().get("case_" + case)
    if test is None:
        print("no such case: " + case, file=sys.stderr)
        return 2
    try:
        test(os.path.abspath(program), os.path.abspath(standin))
    except Unavailable as e:
        print("skipped: " + str(e))
        return SKIPPED
    except AssertionError as e:
        print("FAILED: " + str(e), file=sys.stderr)
        return 1
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
