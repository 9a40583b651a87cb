#!/usr/bin/env python3
"""Awkward ROM names double-clicked in the real launcher window under Xvfb and openbox: each must
reach the emulator byte for byte, under "All Roms" and under its system's filter. The start probe
of tests/platform stands in for the emulator; its log keeps any byte.

Usage: window_names_test.py VODAVAV START_PROBE RESULTS
Exits 0 when every name arrived, 1 when one did not, 77 when the machine has no X tools. Adds
its figures to the results file that tests/reliability/report reads."""

import os
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
from x11session import Unavailable, X11Session, settings_file, wait_until  # noqa: E402

SKIPPED = 77
TITLE = "vodavav"
EXTENSIONS = [".sms", ".gg", ".sg", ".sc", ".rom"]  # filters 1 to 5


def entry_place(row):
    """Inside the window's client area: the middle of the file list's row."""
    return (18 + 40, 186 + 1 + 13 * row + 6)


# Per system at most 15 names, so every row of its list is in sight without scrolling.
NAMES = [
    b"Sonic  the  Hedgehog.sms", b" Leading Blank.gg", b"   Three Leading.sg",
    b"Trailing Blank .sc", b"Trailing Blanks   .rom", b"It's Alive.gg", b'Say "Hi".sg',
    b"$HOME and ${PATH}.sc", b"`id` $(id).rom", b"back\\slash\\.sms", b"Tom & Jerry.gg",
    b"semi;colon;*.sms.sg", b"pipe | tee.sc", b"(paren.rom", b"paren).sms", b"[Japan] [!].gg",
    b"bracket].sg", b"100% %PATH% %s.sc", b"Wow!!.rom", b"^caret^.sms", b"a=b==c.gg",
    b"one,two,.sg", b"star*.sc", b"what?.rom", b"~tilde~.sms", b"#hash #.gg", b"-res 1.sg",
    b"--help.sc", b"-.rom", b"Sonic\xc2\xb2.sms", b"\xc2\xbd Life.gg", b"Pok\xc3\xa9mon.sg",
    b"\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.sc", b"caf\xe9 Latin-1.rom", b"\xff\xfe.sms",
    b"\xc0\xaf overlong slash.gg", b"\x80\x80 lone continuation.sg", b"\xed\xa0\x80 surrogate.sc",
    b"cut \xe6\x97.rom", b"tab\there.sms", b"new\nline.gg", b"\x1b[31mescape.sg",
    b"L" * 251 + b".sms", b"LOUD.SMS", b"Mixed.Gg", b"game.gg.sms", b"name..sc", b"Twin.rom",
    b"Twin.ROM",
]


def system_of(name):
    lowered = name.lower()
    for k, extension in enumerate(EXTENSIONS, start=1):
        if lowered.endswith(extension.encode()):
            return k
    raise ValueError(name)


def ascii_lower(name):
    return bytes(b + 32 if 65 <= b <= 90 else b for b in name)


def list_order(names):
    """The file list's order: ASCII letters ignoring case, ties broken by the bytes."""
    return sorted(names, key=lambda n: (ascii_lower(n), n))


def read_probe_log(path):
    """The arguments the probe recorded, argv[0] first: records of "<key> <length>:<bytes>"."""
    with open(path, "rb") as f:
        text = f.read()
    args, pos = [], 0
    while pos < len(text):
        blank = text.index(b" ", pos)
        colon = text.index(b":", blank)
        length = int(text[blank + 1:colon])
        value = text[colon + 1:colon + 1 + length]
        if text[pos:blank] == b"arg":
            args.append(value)
        pos = colon + 2 + length
    return args


class Run:
    def __init__(self, program, probe, results):
        self.probe = probe
        self.results = results
        self.dir = tempfile.mkdtemp(prefix="vodavav-names-")
        self.program = os.path.join(self.dir, "vodavav")
        shutil.copy2(program, self.program)
        self.settings = settings_file(self.program)
        self.log = os.path.join(self.dir, "probe.log")
        self.tried = 0
        self.mangled = []

    def directory(self, k):
        return os.path.join(self.dir, "system" + str(k)).encode()

    def launch_all(self, session, k, names, filter_index):
        """Starts the launcher on system k's directory under the filter and double-clicks
        every entry in turn."""
        directory = self.directory(k)
        with open(self.settings, "wb") as f:
            f.write(b"[DezovESettings]\nSplashScreen=0\nLastrom=-1\nRomFilter=%d\n"
                    b"VemoxPath=%s\nRomDirectory=%s\n"
                    % (filter_index, self.probe.encode(), directory))
        process = session.start(self.program, cwd=self.dir,
                                extra_env={"START_PROBE_LOG": self.log})
        try:
            window = session.wait_window(TITLE)
            left, top, _, _ = session.geometry(window)
            for row, name in enumerate(list_order(names)):
                self.tried += 1
                x, y = entry_place(row)
                session.click(left + x, top + y, count=2)
                wait_until(lambda: os.path.exists(self.log), 15, "the probe's log")
                args = read_probe_log(self.log)
                os.remove(self.log)
                want = [self.probe.encode(), directory + b"/" + name, b"-noenter"]
                if args != want:
                    self.mangled.append((filter_index, name, args))
        finally:
            process.kill()
            process.wait()

    def record(self, outcome):
        with open(self.results, "a") as f:
            f.write(f"end window.names {outcome} hostile={self.tried} faults=0 crashes=0 "
                    f"lost=0 mangled={len(self.mangled)}\n")

    def remove(self):
        shutil.rmtree(self.dir, ignore_errors=True)


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    program, probe, results = (os.path.abspath(a) for a in sys.argv[1:])
    run = Run(program, probe, results)
    by_system = {k: [n for n in NAMES if system_of(n) == k] for k in range(1, 6)}
    for k, names in by_system.items():
        os.mkdir(run.directory(k))
        for name in names:
            open(os.path.join(run.directory(k), name), "wb").close()
    with open(results, "a") as f:
        f.write("begin window.names\n")
    try:
        with X11Session() as session:
            for k, names in by_system.items():
                run.launch_all(session, k, names, 0)
                run.launch_all(session, k, names, k)
    except Unavailable as e:
        print("skipped: " + str(e))
        run.record("skipped")
        return SKIPPED
    except AssertionError as e:
        print("FAILED: " + str(e), file=sys.stderr)
        run.record("failed")
        return 1
    finally:
        run.remove()
    for filter_index, name, args in run.mangled:
        print(f"FAILED: under filter {filter_index}, {name!r} reached the emulator as {args!r}",
              file=sys.stderr)
    run.record("failed" if run.mangled else "passed")
    print(f"{run.tried} launches, {len(run.mangled)} names mangled")
    return 1 if run.mangled else 0


if __name__ == "__main__":
    sys.exit(main())
