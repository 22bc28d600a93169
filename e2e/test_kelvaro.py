# End-to-end tests: the real program in a real terminal, with real files, natively and under Wine.
import os
import re
import unittest

from harness import Native, ProgramTestCase, Wine, columns

NEWS = ["软件版本：1.0.2.2", "软件更新处：", "  新增软件卸载", "请按任意键继续..."]
MENU = [
    "欢迎使用VantuC - Kelvaro软件",
    "软件将提供以下服务，请选择相对应的数字运作软件：",
    "[1]:软件无法使用；修复它",
    "[2]:选择Wps类型文件",
    "[3]:转化选择的文件",
    "[4]:绿色卸载软件",
    "[0]:退出软件",
]
FAREWELL = ["感谢使用该软件！", "软件来自：Vantu", "软件版本：1.0.2.2", "请按[Q]键升级软件，或按任意键退出"]
REPAIRED = "修复完毕，请按任意键继续"
UNINSTALL = ["真的要卸载么？", "[1]:强制卸载             [2]:不卸载"]
CHOOSING = "请按任意键确认已正确输入，或按[E]键退出选择栏，按[X]键查看指令样例"
TRANSFERRED = "指令传输完成！您可以按任意键返回主菜单，或按[N]键直接进入转化区"
NO_FAULTS = "恭喜，无指令错误！请按任意键继续"
DELETE_OR_KEEP = ["转化完成后是否需要删除原文件？", "[1]:删除         [2]:保留"]
CONVERTED = "转换完成！请按任意键继续"
HEADER = "请把要转化的Wps类型文件的完整路径输入到该文本文档中，一行输入一个文件！".encode("cp936")
FRESH_LIST = HEADER + b"\r\n"
# Every byte value, line ends and Ctrl-Z included, so that only a byte-for-byte copy matches.
DOCUMENT = bytes(range(256)) * 8


def stop_line(number):
    return re.compile(rf"^Runtime error {number} at \$[0-9A-F]{{8}}$")


def tree(root):
    """Every file and folder below root, by its byte name, with the content of each file."""
    found = {}
    root = os.fsencode(root)
    for folder, dirs, files in os.walk(root):
        for d in dirs:
            found[os.path.relpath(os.path.join(folder, d), root)] = None
        for f in files:
            path = os.path.join(folder, f)
            with open(path, "rb") as data:
                found[os.path.relpath(path, root)] = data.read()
    return found


class KelvaroTests:
    """The suite, run once per platform by the subclasses below."""

    # Steps the user takes.

    def wait_menu(self):
        self.term.wait_rows(MENU)
        self.term.wait_cursor(columns(MENU[1]), 1)

    def start_at_menu(self):
        self.start()
        self.term.wait_rows(NEWS)
        self.term.type(" ")
        self.wait_menu()

    def leave(self):
        self.term.type("0")
        self.term.wait_rows(FAREWELL)
        self.term.type("x")
        self.assertEqual(self.term.wait_exit(), 0)

    def convert(self, choice):
        """[3] from the menu: the check passes, then [1] deletes or [2] keeps the sources."""
        self.term.type("3")
        self.term.wait_rows(["正在审查指令...", NO_FAULTS])
        self.term.type(" ")
        self.term.wait_rows(DELETE_OR_KEEP)
        self.term.wait_cursor(columns(DELETE_OR_KEEP[0]), 0)
        self.term.type(choice)
        return self.term.wait_text(CONVERTED)

    # The disk.

    def store_list(self, *commands):
        self.store.mkdir(parents=True, exist_ok=True)
        data = FRESH_LIST + b"".join(c + b"\r\n" for c in commands)
        self.stored_list.write_bytes(data)
        return data

    def files(self, names):
        """Source documents, each with its own content, in a folder of their own; byte names."""
        folder = os.fsencode(self.tmp / "files")
        for name in names:
            path = os.path.join(folder, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(DOCUMENT + name)
        return folder

    def command(self, folder, name, quoted=False):
        path = self.platform.list_path(os.path.join(folder, name))
        return b'"' + path + b'"' if quoted else path

    def assert_converted(self, folder, before, converted, deleted):
        """Only the named .doc copies appeared and only the named sources went."""
        expected = dict(before)
        for name in converted:
            expected[name[: -len(b".wps")] + b".doc"] = before[name]
        for name in deleted:
            del expected[name]
        after = tree(folder)
        self.assertEqual(sorted(after), sorted(expected))
        for name, content in expected.items():
            self.assertEqual(after[name], content, name)

    def assert_work_empty(self):
        self.assertEqual(os.listdir(self.work), [])

    # Start-up, menu and farewell.

    def test_news_where_the_cursor_stands_then_the_menu(self):
        self.start(before="echo MARK")
        self.term.wait_rows(["MARK"] + NEWS)
        self.term.wait_cursor(columns(NEWS[3]), 4)
        self.term.type("0")
        self.wait_menu()
        for key in ("9", "Enter", "Escape"):
            self.term.reset()
            self.term.key(key)
            self.wait_menu()
        self.term.type("0")
        self.term.wait_rows(FAREWELL)
        self.term.wait_cursor(0, 4)
        self.term.type("x")
        self.assertEqual(self.term.wait_exit(), 0)
        self.assert_work_empty()

    def test_update_page_runs_its_script_and_leaves_nothing(self):
        self.start_at_menu()
        self.term.type("0")
        self.term.wait_rows(FAREWELL)
        self.term.type("Q")
        self.assertEqual(self.term.wait_exit(), 0)
        self.assert_work_empty()

    def test_update_script_that_cannot_be_written_stops_with_5(self):
        (self.work / "Open.bat").mkdir()
        self.start_at_menu()
        self.term.type("0")
        self.term.wait_rows(FAREWELL)
        self.term.type("q")
        self.assertEqual(self.term.wait_exit(), 5)
        rows = self.term.screen()
        self.assertTrue(any(stop_line(5).match(row) for row in rows), "\n".join(rows))

    # Repair.

    def test_repair_writes_a_fresh_list_on_a_fresh_account_and_over_an_old_one(self):
        self.start_at_menu()
        self.term.type("1")
        self.term.wait_rows([REPAIRED])
        self.assertEqual(self.stored_list.read_bytes(), FRESH_LIST)
        self.assertEqual(len(FRESH_LIST), 73)
        self.assert_work_empty()
        self.store_list(b"C:\\a.wps", b'"D:\\b c.wps"')
        (self.work / "Command.txt").write_bytes(b"stale\r\n")
        self.term.type("z")
        self.wait_menu()
        self.term.type("1")
        self.term.wait_rows([REPAIRED])
        self.assertEqual(self.stored_list.read_bytes(), FRESH_LIST)
        self.assert_work_empty()
        self.term.type("1")
        self.wait_menu()
        self.leave()

    def test_alt_n_on_the_news_screen_runs_repair_at_once(self):
        self.start()
        self.term.wait_rows(NEWS)
        self.term.raw(b"\x1bn")
        self.term.wait_rows([REPAIRED])
        self.assertEqual(self.stored_list.read_bytes(), FRESH_LIST)
        self.term.type(" ")
        self.wait_menu()
        self.leave()

    # Uninstall.

    def test_uninstall_keeps_everything_on_2_and_removes_the_store_on_1(self):
        stored = self.store_list(b"C:\\a.wps")
        self.start_at_menu()
        self.term.type("4")
        self.term.wait_rows(UNINSTALL)
        self.term.wait_cursor(columns(UNINSTALL[0]), 0)
        self.term.reset()
        self.term.type("x")
        self.term.wait_rows(UNINSTALL)
        self.term.type("2")
        self.wait_menu()
        self.assertEqual(self.stored_list.read_bytes(), stored)
        self.term.type("4")
        self.term.wait_rows(UNINSTALL)
        self.term.type("1")
        self.wait_menu()
        self.assertFalse(self.store.exists())
        self.assertTrue(self.platform.maker_folder.is_dir())
        self.assert_work_empty()
        self.leave()

    # Choosing files.

    def test_choosing_stores_the_edit_shows_the_example_and_goes_on_to_convert(self):
        folder = self.files([b"a.wps"])
        before = tree(folder)
        stored = self.store_list()
        self.start_at_menu()
        self.term.type("2")
        self.term.wait_rows([CHOOSING])
        # The user's edit, saved while the prompt waits.
        working_copy = self.work / "Command.txt"
        self.assertEqual(working_copy.read_bytes(), stored)
        edited = stored + self.command(folder, b"a.wps") + b"\r\n"
        working_copy.write_bytes(edited)
        self.term.type("x")
        self.term.wait_rows([TRANSFERRED])
        self.assertEqual(self.stored_list.read_bytes(), edited)
        self.assertEqual(os.listdir(self.work), ["Example.txt"])
        self.assertEqual((self.work / "Example.txt").stat().st_size, 515)
        self.term.type("n")
        self.term.wait_rows(["正在审查指令...", NO_FAULTS])
        self.term.type(" ")
        self.term.wait_rows(DELETE_OR_KEEP)
        self.term.type("2")
        self.term.wait_text(CONVERTED)
        self.assert_converted(folder, before, [b"a.wps"], [])
        self.assertEqual(self.stored_list.read_bytes(), edited)
        self.term.type(" ")
        self.wait_menu()
        self.assertEqual(os.listdir(self.work), ["Example.txt"])
        self.leave()

    # Conversion.

    def test_conversion_copies_deletes_only_converted_sources_and_reports_missing_ones(self):
        folder = self.files([b"a.wps", b"my file.wps", b"sub/a.wps", b"sub/missing.wps"])
        before = tree(folder)
        stored = self.store_list(self.command(folder, b"a.wps"),
                                 self.command(folder, b"missing.wps"),
                                 self.command(folder, b"my file.wps", quoted=True))
        self.start_at_menu()
        self.term.type("3")
        self.term.wait_rows(["正在审查指令...", NO_FAULTS])
        self.term.type(" ")
        self.term.wait_rows(DELETE_OR_KEEP)
        self.term.reset()
        self.term.type("x")
        self.term.wait_rows(DELETE_OR_KEEP)
        self.term.wait_cursor(columns(DELETE_OR_KEEP[0]), 0)
        self.term.type("1")
        rows = self.term.wait_text(CONVERTED)
        self.assertEqual(rows[0], "正在执行...")
        interpreter_said = self.term.text().split("正在执行...", 1)[1].split(CONVERTED, 1)[0]
        self.assertRegex(interpreter_said, self.platform.missing_source)
        self.assert_converted(folder, before, [b"a.wps", b"my file.wps"],
                              [b"a.wps", b"my file.wps"])
        self.assertEqual(self.stored_list.read_bytes(), stored)
        self.assert_work_empty()
        self.term.type(" ")
        self.wait_menu()
        self.leave()

    def test_conversion_without_a_stored_list_stops_with_2(self):
        self.start_at_menu()
        self.term.type("3")
        self.assertEqual(self.term.wait_exit(), 2)
        rows = self.term.screen()
        self.assertTrue(any(stop_line(2).match(row) for row in rows), "\n".join(rows))

    def test_names_with_the_interpreters_signs_are_copied_and_deleted_and_nothing_else(self):
        plain = ["Tom&Jerry.wps", "a%b%c.wps", "x^y.wps", "(1).wps", "hi!.wps", "it's.wps",
                 "报告.wps"]
        quoted = ["a,b.wps", "c;d.wps", "e=f.wps", "Tom & Jerry.wps", "p%q%.wps"]
        # What a sign taken for the interpreter's own would copy or delete instead.
        decoys = ["Tom", "Jerry.wps", "ac.wps", "xy.wps", "a", "p.wps"]
        names = [self.platform.fs_name(n) for n in plain + quoted]
        folder = self.files(names + [self.platform.fs_name(n) for n in decoys])
        before = tree(folder)
        stored = self.store_list(*[self.command(folder, self.platform.fs_name(n)) for n in plain],
                                 *[self.command(folder, self.platform.fs_name(n), quoted=True)
                                   for n in quoted])
        self.start_at_menu()
        self.convert("1")
        self.assert_converted(folder, before, names, names)
        self.assertEqual(self.stored_list.read_bytes(), stored)
        self.assert_work_empty()
        self.term.type(" ")
        self.wait_menu()
        self.leave()

    def test_chinese_names_whose_second_byte_is_a_sign_are_copied_and_deleted(self):
        # In code page 936 these end in the bytes of \ | ^, which belong to the character.
        names = [self.platform.fs_name(n) for n in ["文档/乗.wps", "文档/亅.wps", "文档/乛.wps"]]
        folder = self.files(names)
        before = tree(folder)
        self.store_list(*[self.command(folder, n) for n in names])
        self.start_at_menu()
        self.convert("1")
        self.assert_converted(folder, before, names, names)
        self.assert_work_empty()
        self.term.type(" ")
        self.wait_menu()
        self.leave()


class NativeTests(KelvaroTests, ProgramTestCase):
    platform = Native()


class WineTests(KelvaroTests, ProgramTestCase):
    platform = Wine()


if __name__ == "__main__":
    unittest.main()
