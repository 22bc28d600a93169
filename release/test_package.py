# Unpacks the release zip, checks its three files and runs the unpacked program under Wine.
import os
import shlex
import shutil
import subprocess
import tempfile
import time
import unittest
import zipfile
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
VERSION = "1.0.2.2"
ENTRIES = ["kelvaro.exe", "使用说明.txt", "LICENSE.txt"]
LOCALE = "zh_CN.UTF-8"
# The first start in a new prefix builds it, which takes tens of seconds on a slow machine.
FIRST_START_SECONDS = 120
STEP_SECONDS = 60

NEWS = "请按任意键继续..."
MENU = "[0]:退出软件"
REPAIRED = "修复完毕，请按任意键继续"
NO_FAULTS = "恭喜，无指令错误！请按任意键继续"
DELETE_OR_KEEP = "转化完成后是否需要删除原文件？"
CONVERTED = "转换完成！请按任意键继续"
FAREWELL = "请按[Q]键升级软件，或按任意键退出"


def crlf_only(data):
    rest = data.replace(b"\r\n", b"")
    return b"\r" not in rest and b"\n" not in rest


def missing(*tools):
    """The first of the tools that is not installed; wine64 will do for wine."""
    for tool in tools:
        if not shutil.which(tool) and not (tool == "wine" and shutil.which("wine64")):
            return tool
    return None


class Screen:
    """A 100x30 pane of a private tmux server, as the user's terminal."""

    def __init__(self, folder, env):
        self.env = env
        conf = folder / "tmux.conf"
        conf.write_text("set -g status off\n")
        self.base = ["tmux", "-u", "-L", f"kelvaro-release-{os.getpid()}", "-f", str(conf)]
        self.started = False

    def tmux(self, *args, check=True):
        result = subprocess.run(self.base + list(args), env=self.env, capture_output=True,
                                timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"tmux {args[0]}: {result.stderr.decode(errors='replace')}")
        return result.stdout.decode("utf-8", errors="replace")

    def start(self, command, cwd):
        self.started = True
        self.tmux("new-session", "-d", "-s", "release", "-x", "100", "-y", "30", "-c", str(cwd),
                  command)

    def text(self):
        return self.tmux("capture-pane", "-p", "-J", "-t", "release")

    def wait(self, shows, what, seconds=STEP_SECONDS):
        deadline = time.monotonic() + seconds
        while True:
            text = self.text()
            if shows(text):
                return text
            if time.monotonic() > deadline:
                raise AssertionError(f"no {what} after {seconds} s; the screen:\n{text}")
            time.sleep(0.1)

    def wait_for(self, words, seconds=STEP_SECONDS):
        return self.wait(lambda text: words in text, repr(words), seconds)

    def type(self, keys):
        self.tmux("send-keys", "-t", "release", "-l", keys)

    def close(self):
        if self.started:
            self.tmux("kill-server", check=False)


class ReleasePackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        given = os.environ.get("KELVARO_ZIP")
        tool = None if given else missing("iconv", "python3")
        if tool:
            raise unittest.SkipTest(f"{tool} is not installed, so tools/package cannot run")
        cls.class_tmp = tempfile.TemporaryDirectory(prefix="kvrel")
        if given:
            cls.zip = Path(given)
        else:
            # KELVARO_EXE, when ctest sets it, packs the exe just built instead of building again.
            dist = Path(cls.class_tmp.name) / "dist"
            env = dict(os.environ, KELVARO_DIST=str(dist))
            subprocess.run([REPO / "tools" / "package"], env=env, check=True,
                           stdout=subprocess.DEVNULL, timeout=900)
            cls.zip = dist / f"kelvaro-{VERSION}-win64.zip"

    @classmethod
    def tearDownClass(cls):
        cls.class_tmp.cleanup()

    def setUp(self):
        # Short paths keep the list's line well under the program's 255-byte limit.
        self.tmp = Path(tempfile.mkdtemp(prefix="kvrel", dir="/tmp"))
        self.addCleanup(shutil.rmtree, self.tmp, ignore_errors=True)
        self.unpacked = self.tmp / "unpacked"
        with zipfile.ZipFile(self.zip) as z:
            self.infos = z.infolist()
            z.extractall(self.unpacked)

    def test_the_zip_holds_the_program_the_guide_and_the_licence(self):
        self.assertEqual([i.filename for i in self.infos], ENTRIES)
        # Without the UTF-8 mark Windows would read the guide's name in its OEM code page.
        self.assertTrue(self.infos[1].flag_bits & 0x800)
        self.assertEqual((self.unpacked / "kelvaro.exe").read_bytes()[:2], b"MZ")
        exe = os.environ.get("KELVARO_EXE")
        if exe and not os.environ.get("KELVARO_ZIP"):
            self.assertEqual((self.unpacked / "kelvaro.exe").read_bytes(), Path(exe).read_bytes())

    def test_the_guide_is_code_page_936_with_crlf(self):
        data = (self.unpacked / "使用说明.txt").read_bytes()
        self.assertTrue(crlf_only(data))
        text = data.decode("cp936")
        self.assertIn("使用说明", text)
        source = (REPO / "docs" / "使用说明.txt").read_text(encoding="utf-8")
        self.assertEqual(text, source.replace("\n", "\r\n"))

    def test_the_licence_has_crlf(self):
        data = (self.unpacked / "LICENSE.txt").read_bytes()
        self.assertTrue(crlf_only(data))
        self.assertEqual(data, (REPO / "LICENSE").read_bytes().replace(b"\n", b"\r\n"))

    def test_the_unpacked_program_repairs_and_converts_under_wine(self):
        tool = missing("wine", "tmux")
        if tool:
            self.skipTest(f"{tool} is not installed, so the unpacked program cannot be run")
        work = self.tmp / "work"
        home = self.tmp / "home"
        prefix = self.tmp / "prefix"
        for folder in (work, home):
            folder.mkdir()
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "TMUX", "TMUX_PANE")
               and not k.startswith("WINE")}
        # No desktop and no Mono or Gecko installers: nothing may open a window and wait.
        env.update(LC_ALL=LOCALE, TERM="xterm", HOME=str(home), WINEPREFIX=str(prefix),
                   WINEDLLOVERRIDES="mscoree,mshtml=")
        self.addCleanup(self.stop_wine, env)
        screen = Screen(self.tmp, env)
        self.addCleanup(screen.close)

        document = work / "a.wps"
        document.write_bytes(os.urandom(64 << 10))
        status = self.tmp / "status"
        program = shlex.join([str(REPO / "tools" / "wine-run"), str(self.unpacked / "kelvaro.exe")])
        # The pane outlives the program, so that its last screen can be shown when a step fails.
        screen.start(f"sh -c {shlex.quote(f'{program}; echo $? > {status}.part')}; "
                     f"mv {status}.part {status}; sleep 600", work)

        screen.wait_for(NEWS, FIRST_START_SECONDS)
        screen.type("x")
        screen.wait_for(MENU)
        screen.type("1")
        screen.wait_for(REPAIRED)
        screen.type(" ")
        screen.wait(lambda text: MENU in text and REPAIRED not in text, "the menu again")

        lists = list(prefix.glob("drive_c/users/*/Application Data/VantuC/Kelvaro/Command.txt"))
        self.assertEqual(len(lists), 1, lists)
        header = lists[0].read_bytes().split(b"\r\n")[0]
        self.assertTrue(header)
        line = ("Z:" + str(document).replace("/", "\\")).encode("cp936")
        lists[0].write_bytes(header + b"\r\n" + line + b"\r\n")

        screen.type("3")
        screen.wait_for(NO_FAULTS)
        screen.type(" ")
        screen.wait_for(DELETE_OR_KEEP)
        screen.type("2")
        screen.wait_for(CONVERTED)
        screen.type(" ")
        screen.wait(lambda text: MENU in text and CONVERTED not in text, "the menu again")
        screen.type("0")
        screen.wait_for(FAREWELL)
        screen.type("x")
        deadline = time.monotonic() + STEP_SECONDS
        while not status.exists():
            if time.monotonic() > deadline:
                raise AssertionError("the program did not end; the screen:\n" + screen.text())
            time.sleep(0.1)
        self.assertEqual(status.read_text().strip(), "0")

        self.assertTrue(document.exists())
        self.assertEqual((work / "a.doc").read_bytes(), document.read_bytes())
        names = [n.lower() for n in os.listdir(work)]
        self.assertFalse([n for n in names if n.endswith(".bat") or n == "command.txt"], names)

    def stop_wine(self, env):
        # The prefix's server would outlive the test by a few seconds and hold its files.
        server = shutil.which("wineserver") or "/usr/lib/wine/wineserver64"
        if os.access(server, os.X_OK):
            subprocess.run([server, "-k"], env=env, capture_output=True, timeout=60)


if __name__ == "__main__":
    unittest.main()
