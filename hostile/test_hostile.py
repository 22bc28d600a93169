# Hostile inputs: the real program and its stand-in on lists and folders meant to break them.
import os
import re
import shutil
import stat
import subprocess
import tempfile
import unittest
from collections import namedtuple
from pathlib import Path

BIN = Path(os.environ.get("KELVARO_BIN", Path(__file__).resolve().parent.parent
                          / "build" / "native" / "kelvaro"))
# A run that outlives this has hung; the 100,000-line list needs well under a minute.
RUN_SECONDS = 300
NOBODY = 65534

HEADER = "请把要转化的Wps类型文件的完整路径输入到该文本文档中，一行输入一个文件！".encode("gbk")

# Keys for each way through conversion: the news screen, [3], then what each screen waits for.
KEEP = b"x3" + b"k" + b"2" + b"k" + b"0" + b"k"  # no faults, keep the sources, leave
DELETE = b"x3" + b"k" + b"1" + b"k" + b"0" + b"k"  # no faults, delete the sources, leave
FAULTS = b"x3" + b"n" + b"k"  # the error report, not saved, the farewell

DONE = "转换完成！请按任意键继续"
FAREWELL = "感谢使用该软件！"
NO_FAULTS = "恭喜，无指令错误！请按任意键继续"
CANNOT = "无法进行转换工作"


def too_long(n):
    return f"第{n:6}条命令错误，路径过长"


def bad_byte(n):
    return f"第{n:6}条命令错误，含有无效字符"


def stop(number):
    return re.compile(rf"Runtime error {number} at \$[0-9A-F]{{8}}\r\n")


def snapshot(root):
    """Every entry under root: its kind, mode and, for a file, its bytes."""
    tree = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            path = Path(folder) / name
            info = path.lstat()
            rel = os.fsencode(path.relative_to(root))
            if stat.S_ISDIR(info.st_mode):
                tree[rel] = ("dir", stat.S_IMODE(info.st_mode), None)
            else:
                tree[rel] = ("file", stat.S_IMODE(info.st_mode), path.read_bytes())
    return tree


class Sandbox:
    """A temporary tree: home (the store), work (the working directory) and docs (the files)."""

    def __init__(self, root):
        self.root = Path(root)
        self.home = self.root / "home"
        self.store = self.home / "Application Data" / "VantuC" / "Kelvaro"
        self.work = self.root / "work"
        self.docs = self.root / "docs"
        for folder in (self.store, self.work, self.docs):
            folder.mkdir(parents=True)
        # Bystanders: no list names them, so no run may change them.
        self.doc(b"victim", b"not named by any list")
        self.doc(b"other.wps", b"a Wps file that no list names")
        self.doc(b"sub/victim", b"below docs")

    def path(self, name):
        return os.fsencode(self.docs) + b"/" + name

    def doc(self, name, content):
        path = self.path(name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content)
        return path

    def stored_list(self, data):
        (self.store / "Command.txt").write_bytes(data)


def differences(want, got):
    """The entries missing, added or different; a wanted mode of None matches any mode."""
    keys = set(want) | set(got)
    return sorted(k for k in keys if k not in want or k not in got or not (
        want[k][0] == got[k][0] and want[k][2] == got[k][2] and want[k][1] in (None, got[k][1])))


def lines(*items, end=b"\r\n"):
    return b"".join(item + end for item in items)


# Each case prepares its sandbox and gives the list's bytes (None: prepared by the case itself).


def binary_garbage(s):
    # Every byte but the line ends and Ctrl-Z, 253 bytes long: its NUL makes it faulty.
    garbage = bytes(b for b in range(256) if b not in b"\r\n\x1a")
    s.stored_list(lines(HEADER, garbage, s.path(b"real.wps")))
    s.doc(b"real.wps", b"stays, since faults stop the run")


def nul_bytes(s):
    s.stored_list(lines(HEADER, s.path(b"victim\x00x"), s.path(b"victim\x00.wps")))


def invalid_cp936(s):
    names = [b"bad\x81&x.wps", b"\xff\xfe\x80.wps", b"end\x81.Wps", b"\xd5\x5c\xd5\x7c.wps",
             b"\x81 y.wps", b"\x81\x7f^|.wps"]
    for name in names:
        s.doc(name, b"content of " + name)
    commands = [s.path(b"bad\x81&x.wps"), s.path(b"\xff\xfe\x80.wps"), s.path(b"end\x81"),
                s.path(b"\xd5\x5c\xd5\x7c.wps"), b'"' + s.path(b"\x81 y.wps") + b'"',
                s.path(b"\x81\x7f^|.wps")]
    s.stored_list(lines(HEADER, *commands))
    return [(n, n[:-4] + b".doc") for n in names]


def mebibyte_line(s):
    s.doc(b"real.wps", b"stays, since faults stop the run")
    s.stored_list(lines(HEADER, b"C:\\" + b"x" * (1 << 20), s.path(b"real.wps")))


def many_lines(s):
    present = {0, 49_999, 99_999}
    commands = []
    pairs = []
    for i in range(100_000):
        name = b"f%06d.wps" % i
        if i in present:
            s.doc(name, b"document %d" % i)
            pairs.append((name, name[:-4] + b".doc"))
        commands.append(s.path(b"missing/" + name if i not in present else name))
    s.stored_list(lines(HEADER, *commands))
    return pairs


def line_end_mixture(s):
    for name in (b"a.wps", b"b.Wps", b"c.wps", b"d.wps", b"e.wps"):
        s.doc(name, b"content of " + name)
    # LF CR is two line ends around an empty line, which ends the list before e.
    s.stored_list(HEADER + b"\r\n" + s.path(b"a.wps") + b"\r" + s.path(b"b") + b"\n" +
                  s.path(b"c.wps") + b"\r\n" + s.path(b"d.wps") + b"\n\r" + s.path(b"e.wps"))
    return [(b"a.wps", b"a.doc"), (b"b.Wps", b"b.doc"), (b"c.wps", b"c.doc"),
            (b"d.wps", b"d.doc")]


def list_is_a_folder(s):
    (s.store / "Command.txt").mkdir()
    (s.store / "Command.txt" / "keep.txt").write_bytes(b"inside the folder")


def read_only_copy_bat(s):
    s.stored_list(lines(HEADER))
    script = s.work / "Copy.bat"
    script.write_bytes(b"@echo off\r\n")
    script.chmod(0o444)


def unwritable_work(s):
    s.stored_list(lines(HEADER, s.path(b"real.wps")))
    s.doc(b"real.wps", b"never copied")


def keys_run_out(s):
    s.doc(b"real.wps", b"never copied")
    s.stored_list(lines(HEADER, s.path(b"real.wps")))


# What a run does to the files that its list names: nothing, a copy beside each, or a copy in
# place of each.
NOTHING, COPIED, MOVED = "nothing", "copied", "moved"

# setup prepares the sandbox and gives the (source, target) names in docs that the run converts;
# shown must be on stdout, absent must not; as_nobody runs without privileges.
Case = namedtuple("Case", "name setup keys status shown absent change as_nobody",
                  defaults=((), NOTHING, False))

CASES = [
    Case("binary garbage", binary_garbage, FAULTS, 0,
         ["有     1条指令错误：", bad_byte(1), CANNOT, FAREWELL], [NO_FAULTS]),
    # Cut at the NUL, the name would be "victim", which the list does not name.
    Case("NUL bytes", nul_bytes, FAULTS, 0,
         ["有     2条指令错误：", bad_byte(1), bad_byte(2), CANNOT, FAREWELL], [NO_FAULTS]),
    Case("invalid code page 936", invalid_cp936, DELETE, 0, [NO_FAULTS, DONE, FAREWELL],
         change=MOVED),
    Case("a line of 1 MiB", mebibyte_line, FAULTS, 0,
         ["有     1条指令错误：", too_long(1), CANNOT, FAREWELL], [NO_FAULTS]),
    Case("100,000 lines", many_lines, DELETE, 0, [NO_FAULTS, DONE, FAREWELL], change=MOVED),
    Case("LF CR mixtures", line_end_mixture, KEEP, 0, [NO_FAULTS, DONE, FAREWELL],
         change=COPIED),
    # The fetch fails, so no working copy comes, and reading it stops the program: file not found.
    Case("stored Command.txt is a folder", list_is_a_folder, b"x3", 2, [stop(2)], [NO_FAULTS]),
    Case("read-only Copy.bat", read_only_copy_bat, b"x3", 5, [stop(5)], [NO_FAULTS]),
    Case("working directory not writable", unwritable_work, b"x3", 5, [stop(5)], [NO_FAULTS],
         as_nobody=True),
    Case("keys run out at the check", keys_run_out, b"x3", 1, [NO_FAULTS], [FAREWELL]),
]


def expected_tree(before, pairs, change):
    """The tree before, with each converted source copied to its target, and gone if moved."""
    after = dict(before)
    for source, target in pairs if change != NOTHING else ():
        # A new file's mode is the umask's business.
        after[b"docs/" + target] = ("file", None, before[b"docs/" + source][2])
        if change == MOVED:
            del after[b"docs/" + source]
    return after


def unprivileged():
    """The command prefix that runs as nobody, or None with the reason it cannot be done."""
    if os.geteuid() != 0:
        return [], None
    for tool in (["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", "--"],
                 ["runuser", "-u", "nobody", "--"]):
        if shutil.which(tool[0]) and subprocess.run(tool + ["true"]).returncode == 0:
            return tool, None
    return None, "root cannot drop its privileges here (no setpriv or runuser that works)"


class HostileInputs(unittest.TestCase):
    def run_case(self, root, case):
        s = Sandbox(root)
        pairs = case.setup(s) or []
        program = BIN
        prefix = []
        if case.as_nobody:
            prefix, reason = unprivileged()
            if prefix is None:
                self.skipTest(reason)
            # nobody must reach the program and the tree, but may write nowhere in the tree.
            bin_dir = s.root / "bin"
            bin_dir.mkdir()
            for name in (BIN.name, "kelvaro-cmd"):
                shutil.copy2(BIN.parent / name, bin_dir / name)
            program = bin_dir / BIN.name
            for folder, dirs, files in os.walk(s.root):
                os.chmod(folder, 0o755)
            s.work.chmod(0o555)
        try:
            self.run_and_compare(s, prefix + [str(program)], case, pairs)
        finally:
            s.work.chmod(0o755)

    def run_and_compare(self, s, argv, case, pairs):
        before = snapshot(s.root)
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "VISUAL", "EDITOR")}
        env.update(HOME=str(s.home), LC_ALL="C.UTF-8", EDITOR="true")
        try:
            run = subprocess.run(argv, input=case.keys, cwd=s.work, env=env,
                                 capture_output=True, timeout=RUN_SECONDS)
        except subprocess.TimeoutExpired:
            self.fail(f"no end within {RUN_SECONDS} s")
        # Not a terminal: the program's texts come in the locale's UTF-8, the paths as they are.
        out = run.stdout.decode("utf-8", errors="replace")
        context = (f"\n--- stdout (end) ---\n{out[-3000:]}\n--- stderr ---\n"
                   + run.stderr.decode("utf-8", errors="replace")[-3000:])
        self.assertEqual(run.returncode, case.status, context)
        for text in case.shown:
            if isinstance(text, str):
                self.assertIn(text, out, context)
            else:
                self.assertRegex(out, text, context)
        for text in case.absent:
            self.assertNotIn(text, out, context)
        self.assertEqual(differences(expected_tree(before, pairs, case.change), snapshot(s.root)),
                         [], f"entries that differ from the expected tree{context}")

    def test_table(self):
        for case in CASES:
            with self.subTest(case.name), \
                    tempfile.TemporaryDirectory(prefix="kelvaro-hostile-") as root:
                self.run_case(root, case)


if __name__ == "__main__":
    unittest.main()
