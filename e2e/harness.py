# Drives the real program in a real terminal (a private tmux server), natively or under Wine.
import os
import shlex
import shutil
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
POLL_SECONDS = 0.05
# The tmux client itself must speak UTF-8 for capture-pane to hand back Chinese text.
TMUX_LOCALE = "zh_CN.UTF-8"


def columns(text):
    """Terminal columns of a text: every character outside ASCII here is a two-column one."""
    return sum(1 if ord(c) < 0x80 else 2 for c in text)


def dump(rows):
    return "\n".join(f"{i:2}|{row}" for i, row in enumerate(rows))


def clean_env(**extra):
    """The environment for a pane: no desktop, so nothing can open a window and block."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "VISUAL", "EDITOR", "TMUX", "TMUX_PANE")
           and not k.startswith("WINE")}
    env.setdefault("TERM", "xterm")
    env["LC_ALL"] = TMUX_LOCALE
    env.update(extra)
    return env


class Terminal:
    """One tmux server on a socket in the test's own folder: it never meets a user's tmux, and
    its socket goes with the folder."""

    def __init__(self, tmp, timeout, cols=100, rows=30):
        self.tmp = Path(tmp)
        self.socket = self.tmp / "tmux.sock"
        self.timeout = timeout
        self.cols, self.rows = cols, rows
        self.status_file = self.tmp / "status"
        self.config = self.tmp / "tmux.conf"
        self.config.write_text("set -g status off\n")
        self.env = None

    def tmux(self, *args, check=True):
        result = subprocess.run(["tmux", "-u", "-S", str(self.socket), "-f", str(self.config), *args],
                                env=self.env, capture_output=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"tmux {args[0]} failed: {result.stderr.decode(errors='replace')}")
        return result.stdout.decode("utf-8", errors="replace")

    def start(self, argv, cwd, env, before=None):
        """Runs argv in the pane after the shell line `before`; its exit status lands in a file."""
        self.env = env
        inner = " ".join(shlex.quote(str(a)) for a in argv)
        status = shlex.quote(str(self.status_file))
        # The pane stays open afterwards, so that the last screen (a stop message) can be read.
        script = f"{inner}; echo $? > {status}.part && mv {status}.part {status}; exec sleep 300"
        if before:
            script = f"{before}; {script}"
        self.tmux("new-session", "-d", "-s", "e2e", "-x", str(self.cols), "-y", str(self.rows),
                  "-c", str(cwd), "sh -c " + shlex.quote(script))

    def close(self):
        if self.env is not None:
            self.tmux("kill-server", check=False)

    # What the terminal shows.

    def screen(self):
        text = self.tmux("capture-pane", "-p", "-t", "e2e")
        rows = [row.rstrip() for row in text.split("\n")[: self.rows]]
        return rows + [""] * (self.rows - len(rows))

    def text(self):
        """The screen with wrapped rows joined, for texts longer than a row."""
        return self.tmux("capture-pane", "-p", "-J", "-t", "e2e")

    def cursor(self):
        x, y = self.tmux("display", "-p", "-t", "e2e", "#{cursor_x} #{cursor_y}").split()
        return int(x), int(y)

    # What the user types.

    def type(self, text):
        self.tmux("send-keys", "-t", "e2e", "-l", text)

    def key(self, name):
        self.tmux("send-keys", "-t", "e2e", name)

    def raw(self, data):
        self.tmux("send-keys", "-t", "e2e", "-H", *(f"{b:02x}" for b in data))

    def reset(self):
        """Wipes the terminal's screen behind the program's back, to see that it draws again."""
        self.tmux("send-keys", "-t", "e2e", "-R")

    # Bounded waits: a program that hangs fails its test instead of hanging the run.

    def wait_until(self, condition, what):
        deadline = time.monotonic() + self.timeout
        while True:
            rows = self.screen()
            if condition(rows):
                return rows
            if time.monotonic() > deadline:
                raise AssertionError(f"timed out waiting for {what}; the screen:\n{dump(rows)}")
            time.sleep(POLL_SECONDS)

    def wait_text(self, text):
        return self.wait_until(lambda rows: text in self.text(), repr(text))

    def wait_cursor(self, x, y):
        self.wait_until(lambda rows: self.cursor() == (x, y), f"the cursor at {x},{y}")

    def wait_rows(self, expected):
        """Waits until the screen is exactly `expected` from its top, with blank rows below."""
        def shows(rows):
            return rows[: len(expected)] == list(expected) and not any(rows[len(expected):])
        return self.wait_until(shows, "the rows\n" + dump(expected))

    def wait_exit(self):
        deadline = time.monotonic() + self.timeout
        while not self.status_file.exists():
            if time.monotonic() > deadline:
                raise AssertionError("timed out waiting for the program to end; the screen:\n"
                                     + dump(self.screen()))
            time.sleep(POLL_SECONDS)
        return int(self.status_file.read_text().strip())


class Native:
    """The POSIX build beside its stand-in interpreter; the store lies in $HOME."""

    name = "native"
    timeout = 20
    # What the interpreter says of a copy whose source is missing.
    missing_source = r"系统找不到指定的文件。 - \S*/missing\.wps"

    def __init__(self):
        # Resolved here: the program starts in a working directory of its own.
        self.program = Path(os.environ.get("KELVARO_BIN", REPO / "build/native/kelvaro")).resolve()

    def unavailable(self):
        if not shutil.which("tmux"):
            return "tmux is not installed"
        if not os.access(self.program, os.X_OK):
            return f"no program at {self.program} (set KELVARO_BIN)"
        if not os.access(self.program.parent / "kelvaro-cmd", os.X_OK):
            return f"no kelvaro-cmd beside {self.program}"
        return None

    def set_up_class(self, tmp):
        pass

    def tear_down_class(self):
        pass

    def set_up(self, tmp):
        self.home = Path(tmp) / "home"
        self.home.mkdir()

    def argv(self):
        return [self.program]

    def env(self):
        # The user's editor opens and closes at once: the test itself makes the edits.
        return clean_env(HOME=str(self.home), EDITOR="true")

    @property
    def maker_folder(self):
        return self.home / "Application Data" / "VantuC"

    def list_path(self, path):
        """A path as the command list names it, in code page 936."""
        return bytes(path)

    def fs_name(self, name):
        """A file name as it lies on disk: the stand-in takes the script's bytes as they are."""
        return name.encode("cp936")


class Wine:
    """The Windows build under Wine, whose cmd.exe runs the scripts; one prefix per test class."""

    name = "wine"
    timeout = 60
    missing_source = r"找不到文件。"

    def __init__(self):
        exe = os.environ.get("KELVARO_EXE", REPO / "build/windows/kelvaro.exe")
        self.program = Path(exe).resolve()
        self.runner = REPO / "tools" / "wine-run"

    def unavailable(self):
        if not shutil.which("tmux"):
            return "tmux is not installed"
        if not (shutil.which("wine") or shutil.which("wine64")):
            return "wine is not installed"
        if not self.program.is_file():
            return f"no program at {self.program} (set KELVARO_EXE)"
        return None

    def set_up_class(self, tmp):
        self.prefix = Path(tmp) / "prefix"
        self.wine_home = Path(tmp) / "home"
        self.wine_home.mkdir()
        result = subprocess.run([self.runner, "wineboot", "-i"], env=self._env(),
                                capture_output=True, timeout=300)
        if result.returncode != 0:
            raise RuntimeError("wineboot failed: " + result.stderr.decode(errors="replace"))
        users = [p for p in (self.prefix / "drive_c" / "users").iterdir() if p.name != "Public"]
        if len(users) != 1:
            raise RuntimeError(f"cannot tell the Wine user from {users}")
        self.profile = users[0]

    def tear_down_class(self):
        # The prefix's server would outlive the class by a few seconds and hold its files.
        server = shutil.which("wineserver")
        if server:
            subprocess.run([server, "-k"], env=self._env(), capture_output=True, timeout=60)

    def _env(self):
        # No Mono or Gecko installer: the prefix needs neither and they only slow it down.
        return clean_env(HOME=str(self.wine_home), WINEPREFIX=str(self.prefix),
                         WINEDLLOVERRIDES="mscoree,mshtml=")

    def set_up(self, tmp):
        # A fresh account: whatever an earlier test stored goes, the rest of the prefix stays.
        shutil.rmtree(self.profile / "Application Data", ignore_errors=True)

    def argv(self):
        return [self.runner, self.program]

    def env(self):
        return self._env()

    @property
    def maker_folder(self):
        return self.profile / "Application Data" / "VantuC"

    def list_path(self, path):
        """The Unix path as Wine's drive Z: shows it, in code page 936 as cmd reads scripts."""
        return ("Z:" + os.fsdecode(bytes(path)).replace("/", "\\")).encode("cp936")

    def fs_name(self, name):
        """Wine keeps Unix file names in the terminal's charset, UTF-8 here."""
        return name.encode("utf-8")


class ProgramTestCase(unittest.TestCase):
    """One run of the program per test, in a temporary working directory and home."""

    platform = None

    @classmethod
    def setUpClass(cls):
        reason = cls.platform.unavailable()
        if reason:
            raise unittest.SkipTest(f"{cls.platform.name}: {reason}")
        cls.class_tmp = tempfile.TemporaryDirectory(prefix="kv")
        cls.platform.set_up_class(cls.class_tmp.name)

    @classmethod
    def tearDownClass(cls):
        cls.platform.tear_down_class()
        cls.class_tmp.cleanup()

    def setUp(self):
        # Short paths keep every command line well under the program's 255-byte limit.
        self.tmp_dir = tempfile.TemporaryDirectory(prefix="kv", dir="/tmp")
        self.tmp = Path(self.tmp_dir.name)
        self.work = self.tmp / "work"
        self.work.mkdir()
        (self.tmp / "term").mkdir()
        self.platform.set_up(self.tmp)
        self.term = Terminal(self.tmp / "term", self.platform.timeout)
        self.addCleanup(self.tmp_dir.cleanup)
        self.addCleanup(self.term.close)

    def start(self, before=None):
        self.term.start(self.platform.argv(), self.work, self.platform.env(), before)

    @property
    def store(self):
        return self.platform.maker_folder / "Kelvaro"

    @property
    def stored_list(self):
        return self.store / "Command.txt"
