// Tests of kelvaro-cmd's core: parser tables, and tables of script lines run in a temporary folder.
#include "scripts/interpreter.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kelvaro::standin {
namespace {

namespace fs = std::filesystem;

// The test program is built with a code page 936 execution character set; u8 literals stay UTF-8.
std::string utf8(std::u8string_view s) {
  return std::string(s.begin(), s.end());
}

const std::string kCopied1 = utf8(u8"已复制         1 个文件。\n");
const std::string kCopied0 = utf8(u8"已复制         0 个文件。\n");

std::string render(const std::vector<Command>& commands) {
  std::string out;
  for (const Command& c : commands) {
    if (!out.empty()) out += " & ";
    out += c.verb;
    for (const Word& w : c.args)
      out += (w.quoted ? " [\"" : " [") + w.text + (w.quoted ? "\"]" : "]");
    if (!c.body.empty()) out += " {" + render(c.body) + "}";
  }
  return out;
}

std::string render(const ParsedLine& p) {
  std::string flags;
  if (p.quiet) flags += " quiet";
  if (!p.operators.empty()) flags += " ops=" + p.operators;
  if (p.dangling_caret) flags += " caret";
  if (p.empty_command) flags += " empty";
  if (!p.runnable()) flags += " refused";
  return render(p.commands) + (flags.empty() ? "" : " ;" + flags);
}

struct ParseCase {
  std::string line;
  std::string expected;
};

TEST(ParseLine, Table) {
  Environment env({{"Foo", "bar"}, {"HOME", "/h"}, {"AMP", "x&y"}});
  const ParseCase cases[] = {
      {"", ""},
      {"   ", ""},
      {"@echo off", "echo [off] ; quiet"},
      {"  @ @copy a b", "copy [a] [b] ; quiet"},
      {"Copy \"a b.txt\"   c.txt", "Copy [\"a b.txt\"] [c.txt]"},
      {"copy a\"b c\"d e", "copy [\"ab cd\"] [e]"},
      {"copy \"\" x", "copy [\"\"] [x]"},
      {"del a^&b", "del [a&b]"},
      {"del ^^ ^\" ^ x", "del [^] [\"] [ x]"},
      {"del \"a&b|c<d>e^f\"", "del [\"a&b|c<d>e^f\"]"},
      {"del \"a^\"b", "del [\"a^b\"]"},
      {"del a & del b", "del [a] & del [b] ; ops=&"},
      {"del a&del b", "del [a] & del [b] ; ops=&"},
      {"del a ^& del b", "del [a] [&] [del] [b]"},
      {"del a | more", "del [a] [more] ; ops=| refused"},
      {"del a>b", "del [a] [b] ; ops=> refused"},
      {"del <b", "del [b] ; ops=< refused"},
      {"del a^|b a^<b a^>b", "del [a|b] [a<b] [a>b]"},
      {"del a && del b", "del [a] & del [b] ; ops=&& empty refused"},
      {"del a &", "del [a] ; ops=& empty refused"},
      {"del a^", "del [a] ; caret refused"},
      {"md %foo%", "md [bar]"},
      {"md %FOO%x %fOo%", "md [barx] [bar]"},
      {"md x%nothing%y", "md [xy]"},
      {"md 100%%", "md [100%]"},
      {"md 50% done", "md [50] [done]"},
      {"md %0 %1x %*", "md [t.bat] [x]"},
      {"md %userprofile%\\x", "md [/h\\x]"},
      {"md %AMP%", "md [x] & y ; ops=&"},
      {"md \"%AMP%\"", "md [\"x&y\"]"},
      {"if exist \"a b\" del /f /q c & del d",
       "if [exist] [\"a b\"] {del [/f] [/q] [c] & del [d]} ; ops=&"},
      {"del z & IF NOT Exist x md y", "del [z] & IF [NOT] [Exist] [x] {md [y]} ; ops=&"},
      {"if exist a if not exist b del c", "if [exist] [a] {if [not] [exist] [b] {del [c]}}"},
      {"if exist x", "if [exist] [x]"},
      {"if a==b del x", "if [a==b] [del] [x]"},
      {"del \"\xC7\xEB.wps\" \xC7\xEB\xB8\xB1.wps",
       "del [\"\xC7\xEB.wps\"] [\xC7\xEB\xB8\xB1.wps]"},
      // A two-byte character's trail byte is never a sign, as the interpreter reads code
      // page 936; a lone lead byte is an ordinary byte.
      {"del \x81| \x95\\x \xC7^ \x81^^x", "del [\x81|] [\x95\\x] [\xC7^] [\x81^x]"},
      {"del a\x81 ^|b", "del [a\x81] [|b]"},
      {"del\ta\t\"b\"", "del [a] [\"b\"]"},
  };
  for (const ParseCase& c : cases) {
    EXPECT_EQ(render(parse_line(c.line, env, "t.bat")), c.expected) << c.line;
  }
}

TEST(ParseLine, ExpandedIsTheLineAfterPercentExpansion) {
  Environment env({{"A", "1"}});
  EXPECT_EQ(parse_line("@md %a% %%b ^&", env).expanded, "@md 1 %b ^&");
}

TEST(EnvironmentTest, NamesMatchIgnoringCaseAndUserprofileFallsBackToHome) {
  Environment home({{"path", "p1"}, {"PATH", "p2"}, {"HOME", "/h"}});
  EXPECT_EQ(home.get("PATH"), "p2");
  EXPECT_EQ(home.get("Path"), "p1");
  EXPECT_EQ(home.get("UserProfile"), "/h");
  EXPECT_EQ(home.get("nothing"), std::nullopt);
  Environment both({{"HOME", "/h"}, {"USERPROFILE", "/u"}});
  EXPECT_EQ(both.get("userprofile"), "/u");
  EXPECT_EQ(Environment().get("userprofile"), std::nullopt);
}

TEST(CharsetTest, ConvertsMessagesButNotWhatItCannotHold) {
  const std::string line = utf8(u8"已复制         1 个文件。");
  EXPECT_EQ(line,
            "\xE5\xB7\xB2\xE5\xA4\x8D\xE5\x88\xB6         1 \xE4\xB8\xAA\xE6\x96\x87\xE4\xBB\xB6"
            "\xE3\x80\x82");
  EXPECT_EQ(Charset("UTF-8").from_utf8(line), line);
  EXPECT_EQ(Charset("utf8").from_utf8(line), line);
  EXPECT_EQ(Charset("GBK").from_utf8(line),
            "\xD2\xD1\xB8\xB4\xD6\xC6         1 \xB8\xF6\xCE\xC4\xBC\xFE\xA1\xA3");
  EXPECT_EQ(Charset("ANSI_X3.4-1968").from_utf8(line), line);
  EXPECT_EQ(Charset("ANSI_X3.4-1968").from_utf8("plain"), "plain");
  EXPECT_EQ(Charset("no-such-codeset").from_utf8(line), line);
}

struct PlanCase {
  Environment env;
  std::string document;
  Launch::Mode mode;
  std::vector<std::string> argv;
};

TEST(PlanStart, DesktopThenVisualThenEditor) {
  const PlanCase cases[] = {
      {{{"DISPLAY", ":0"}, {"EDITOR", "vi"}},
       "a b.wps",
       Launch::Mode::detached,
       {"xdg-open", "a b.wps"}},
      {{{"WAYLAND_DISPLAY", "wayland-0"}},
       "-x.wps",
       Launch::Mode::detached,
       {"xdg-open", "./-x.wps"}},
      {{{"DISPLAY", ""}, {"EDITOR", "vi -n"}},
       "a.wps",
       Launch::Mode::wait,
       {"/bin/sh", "-c", "vi -n \"$1\"", "sh", "a.wps"}},
      {{{"VISUAL", "code -w"}, {"EDITOR", "vi"}},
       "$(x).wps",
       Launch::Mode::wait,
       {"/bin/sh", "-c", "code -w \"$1\"", "sh", "$(x).wps"}},
      {{{"VISUAL", ""}, {"EDITOR", "ed"}},
       "a",
       Launch::Mode::wait,
       {"/bin/sh", "-c", "ed \"$1\"", "sh", "a"}},
      {{{"HOME", "/h"}}, "a.wps", Launch::Mode::none, {}},
  };
  for (const PlanCase& c : cases) {
    Launch plan = plan_start(c.env, c.document);
    EXPECT_EQ(plan.mode, c.mode) << c.document;
    EXPECT_EQ(plan.argv, c.argv) << c.document;
  }
  EXPECT_EQ(plan_explorer(Environment({{"EDITOR", "vi"}}), "http://x").mode, Launch::Mode::none);
  Launch web = plan_explorer(Environment({{"DISPLAY", ":1"}}), "http://x/?a&b");
  EXPECT_EQ(web.mode, Launch::Mode::detached);
  EXPECT_EQ(web.argv, (std::vector<std::string>{"xdg-open", "http://x/?a&b"}));
}

class RecordingLauncher : public Launcher {
 public:
  bool launch(const Launch& plan) override {
    plans.push_back(plan);
    return true;
  }
  std::vector<Launch> plans;
};

// Each test works in a fresh temporary folder that is the working directory while it runs.
class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "kelvaro-cmd-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(folder_);
  }

  // "path=content" makes a file, "path/" a folder, with their parents.
  static void make(const std::string& entry) {
    std::size_t eq = entry.find('=');
    if (eq == std::string::npos) {
      fs::create_directories(entry);
      return;
    }
    fs::path path = entry.substr(0, eq);
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << entry.substr(eq + 1);
  }

  static std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The whole folder in make()'s notation, sorted, leaving out the script.
  static std::vector<std::string> tree() {
    std::vector<std::string> out;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(".")) {
      std::string path = e.path().lexically_relative(".").string();
      if (path == "t.bat") continue;
      out.push_back(e.is_directory() ? path + "/" : path + "=" + slurp(path));
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  std::string run(const std::vector<std::string>& lines, const Environment& env) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    make("t.bat=" + text);
    std::ostringstream out;
    Charset charset("UTF-8");
    Interpreter interpreter(env, out, charset, launcher_);
    EXPECT_TRUE(interpreter.run_script("t.bat"));
    return out.str();
  }

  fs::path previous_;
  fs::path folder_;
  RecordingLauncher launcher_;
};

struct ScriptCase {
  std::string name;
  std::vector<std::string> before;
  std::vector<std::string> lines;
  std::vector<std::string> after;
  std::string output;
};

std::ostream& operator<<(std::ostream& os, const ScriptCase& c) {
  return os << c.name;
}

class ScriptTable : public ScriptTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptTable, LeavesTheFolderAsExpected) {
  const ScriptCase& c = GetParam();
  for (const std::string& entry : c.before) make(entry);
  Environment env({{"HOME", "home"}, {"Foo", "bar"}});
  EXPECT_EQ(run(c.lines, env), c.output);
  std::vector<std::string> expected = c.after;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(tree(), expected);
}

const std::string kGbk = "\xC7\xEB.wps";
const std::string kGbkCopy = "\xC7\xEB\xB8\xB1.wps";
const std::string kReport = utf8(u8"报告.wps");
const std::string kReportCopy = utf8(u8"报告 副本.wps");

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptTable,
    ::testing::Values(
        ScriptCase{"EveryLineRunsInOrderWhateverFailed",
                   {"src.txt=S"},
                   {"@echo off", "copy nothere.txt a.txt", "md d", "del /f /q missing.txt",
                    "copy src.txt d", "frob x", "copy d\\src.txt d\\again.txt"},
                   {"src.txt=S", "d/", "d/src.txt=S", "d/again.txt=S"},
                   utf8(u8"系统找不到指定的文件。 - nothere.txt\n") + kCopied0 +
                       utf8(u8"找不到 missing.txt\n") + kCopied1 +
                       utf8(u8"'frob' 不是内部或外部命令，也不是可运行的程序或批处理文件。\n") +
                       kCopied1},
        ScriptCase{"Variables",
                   {},
                   {"@echo off", "md %foo%", "md %FOO%2 x%nothing%y 100%%",
                    "md \"%userprofile%\\Application Data\\VantuC\\Kelvaro\""},
                   {"bar/", "bar2/", "xy/", "100%/", "home/", "home/Application Data/",
                    "home/Application Data/VantuC/", "home/Application Data/VantuC/Kelvaro/"},
                   ""},
        ScriptCase{"EscapesQuotesAndSeparators",
                   {},
                   {"@echo off", "md a^&b", "md \"c d\" e", "md \"g&h\" i^|j", "md k & md l",
                    "md m ^& n", "MD o&Md p"},
                   {"a&b/", "c d/", "e/", "g&h/", "i|j/", "k/", "l/", "m/", "&/", "n/", "o/", "p/"},
                   ""},
        ScriptCase{"PipesAndRedirectionsRunNothingOfTheLine",
                   {"in.txt=I"},
                   {"@echo off", "md a | md b", "md c > out.txt", "md d < in.txt", "md e&&md f",
                    "md g^", "md \"h|i\""},
                   {"in.txt=I", "h|i/"},
                   utf8(u8"此行含有不支持的管道或重定向符号 |，未执行。\n"
                        u8"此行含有不支持的管道或重定向符号 >，未执行。\n"
                        u8"此行含有不支持的管道或重定向符号 <，未执行。\n"
                        u8"此时不应有 &。\n"
                        u8"此行以 ^ 结尾，未执行。\n")},
        ScriptCase{"BothSlashesSeparateFolders",
                   {"a/b/c.txt=C"},
                   {"@echo off", "copy a\\b\\c.txt x.txt", "copy a/b/c.txt a\\y.txt",
                    "copy \"a\\b/c.txt\" a/b\\z.txt"},
                   {"a/", "a/b/", "a/b/c.txt=C", "x.txt=C", "a/y.txt=C", "a/b/z.txt=C"},
                   kCopied1 + kCopied1 + kCopied1},
        ScriptCase{"NamesResolveIgnoringCase",
                   {"Del.bat=D", "report.WPS=R", "Folder/Sub/f.TXT=F", "Target.txt=old"},
                   {"@echo off", "del /s /f /q del.bat", "copy REPORT.wps New.WPS",
                    "copy folder\\SUB\\F.txt .", "copy report.wps target.TXT",
                    "if exist FOLDER\\sub md yes", "copy report.wps FOLDER\\sub"},
                   {"report.WPS=R", "New.WPS=R", "f.TXT=F", "Folder/", "Folder/Sub/",
                    "Folder/Sub/f.TXT=F", "Folder/Sub/report.WPS=R", "Target.txt=R", "yes/"},
                   kCopied1 + kCopied1 + kCopied1 + kCopied1},
        ScriptCase{"MakeAndRemoveFolders",
                   {"d/", "full/f=F", "empty/", "file.txt=T"},
                   {"@echo off", "md d", "md D", "md p\\q\\r", "md file.txt\\x", "rd full",
                    "rd EMPTY", "rd missing", "rd file.txt", "md", "rd"},
                   {"d/", "full/", "full/f=F", "file.txt=T", "p/", "p/q/", "p/q/r/"},
                   utf8(u8"子目录或文件 d 已经存在。\n"
                        u8"子目录或文件 D 已经存在。\n"
                        u8"系统找不到指定的路径。 - file.txt\\x\n"
                        u8"目录不是空的。 - full\n"
                        u8"系统找不到指定的文件。 - missing\n"
                        u8"目录名称无效。 - file.txt\n"
                        u8"命令语法不正确。\n"
                        u8"命令语法不正确。\n")},
        ScriptCase{
            "CopyOverwritesAndFillsFolders",
            {"src.txt=new", "dst.txt=much longer old text", "into/", "into/SRC.TXT=old"},
            {"@echo off", "copy src.txt dst.txt", "copy /Y src.txt into", "copy /b src.txt /y",
             "copy src.txt nofolder\\x.txt", "copy src.txt", "copy a b c"},
            {"src.txt=new", "dst.txt=new", "into/", "into/SRC.TXT=new"},
            kCopied1 + kCopied1 + utf8(u8"文件无法复制到它自身。 - src.txt\n") + kCopied0 +
                utf8(u8"系统找不到指定的路径。 - nofolder/x.txt\n") + kCopied0 +
                utf8(u8"文件无法复制到它自身。 - src.txt\n") + kCopied0 +
                utf8(u8"命令语法不正确。\n")},
        ScriptCase{"DelWithoutSubfoldersKeepsSameNamesBelow",
                   {"x.txt=1", "sub/x.txt=2", "sub/deeper/X.TXT=3"},
                   {"@echo off", "del /f /q x.txt", "del sub\\x.txt\\y"},
                   {"sub/", "sub/x.txt=2", "sub/deeper/", "sub/deeper/X.TXT=3"},
                   utf8(u8"找不到 sub\\x.txt\\y\n")},
        ScriptCase{"DelWithSubfoldersTakesSameNamesBelow",
                   {"x.txt=1", "sub/x.txt=2", "sub/deeper/X.TXT=3", "sub/y.txt=4", "other/x.txt/"},
                   {"@echo off", "del x.txt /Q /S", "del /s /q nothing.txt", "del /s sub\\y.txt"},
                   {"sub/", "sub/deeper/", "other/", "other/x.txt/"},
                   utf8(u8"找不到 nothing.txt\n")},
        ScriptCase{"DelOfAFolderTakesOnlyItsFiles",
                   {"f/a=A", "f/b=B", "f/sub/c=C", "g/a=A", "g/sub/c=C", "g/sub/deeper/d=D"},
                   {"@echo off", "del /f /q f", "del /s /f /q \"G\""},
                   {"f/", "f/sub/", "f/sub/c=C", "g/", "g/sub/", "g/sub/deeper/"},
                   ""},
        ScriptCase{"IfExistAndIfNotExist",
                   {"a.doc=A", "a.wps=W", "home/Application Data/VantuC/Kelvaro/Command.txt=L",
                    "Command.txt=W"},
                   {"@echo off", "if exist \"A.DOC\" md yes1", "if not exist a.doc md no1",
                    "if exist b.doc md no2", "if NOT EXIST \"b.doc\" md yes2",
                    "if exist a.doc md yes3 & md yes4", "if exist b.doc md no3 & md no4",
                    "md yes5 & if exist b.doc md no5", "if exist a.doc del /f /q \"a.wps\"",
                    "if exist \"%userprofile%\\Application Data\\VantuC\\Kelvaro\\Command.txt\" "
                    "del /f /q Command.txt",
                    "if exist", "if exist a.doc"},
                   {"a.doc=A", "home/", "home/Application Data/", "home/Application Data/VantuC/",
                    "home/Application Data/VantuC/Kelvaro/",
                    "home/Application Data/VantuC/Kelvaro/Command.txt=L", "yes1/", "yes2/", "yes3/",
                    "yes4/", "yes5/"},
                   utf8(u8"命令语法不正确。\n命令语法不正确。\n")},
        ScriptCase{"ChineseAndCodePage936NamesPassByteForByte",
                   {kReport + "=U", kGbk + "=G", "\xB5\xC4/" + kGbk + "=H"},
                   {"@echo off", "copy \"" + kReport + "\" \"" + kReportCopy + "\"",
                    "copy " + kGbk + " " + kGbkCopy, "del /f /q \"\xB5\xC4\\" + kGbk + "\"",
                    "del \xD6\xD0.txt", "md \xB5\xC4", "copy " + kGbk + " \xB5\xC4"},
                   {kReport + "=U", kReportCopy + "=U", kGbk + "=G", kGbkCopy + "=G", "\xB5\xC4/",
                    "\xB5\xC4/" + kGbk + "=G"},
                   kCopied1 + kCopied1 + utf8(u8"找不到 ") + "\xD6\xD0.txt\n" +
                       utf8(u8"子目录或文件 ") + "\xB5\xC4" + utf8(u8" 已经存在。\n") + kCopied1},
        ScriptCase{"StartAndExplorerWithoutDesktopOrEditor",
                   {"doc.wps=D"},
                   {"@echo off", "start doc.wps", "start \"\" \"DOC.wps\"", "start missing.wps",
                    "explorer http://example.invalid/"},
                   {"doc.wps=D"},
                   utf8(u8"无法打开 doc.wps：没有桌面，也没有设置 VISUAL 或 EDITOR。\n"
                        u8"无法打开 DOC.wps：没有桌面，也没有设置 VISUAL 或 EDITOR。\n"
                        u8"系统找不到文件 missing.wps。\n"
                        u8"无法打开 http://example.invalid/：没有桌面。\n")}),
    [](const ::testing::TestParamInfo<ScriptCase>& info) { return info.param.name; });

TEST_F(ScriptTest, LinesEndInCrLfOrLfAndTheLastNeedsNoEnd) {
  std::ostringstream out;
  Charset charset("UTF-8");
  Interpreter interpreter(Environment(), out, charset, launcher_);
  interpreter.run_text("@echo off\r\nmd a\nmd b\r\n\r\n\nmd c", "t.bat");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(tree(), (std::vector<std::string>{"a/", "b/", "c/"}));
}

TEST_F(ScriptTest, EchoOnShowsEachLineAfterAPrompt) {
  std::string cwd = fs::current_path().string();
  EXPECT_EQ(run({"md %foo%", "@md quiet", "echo", "echo off", "md after", "echo", "echo hi  there"},
                Environment({{"FOO", "a"}})),
            "\n" + cwd + ">md a\n" + "\n" + cwd + ">echo\n" + utf8(u8"ECHO 处于打开状态。\n") +
                "\n" + cwd + ">echo off\n" + utf8(u8"ECHO 处于关闭状态。\n") + "hi there\n");
  EXPECT_EQ(tree(), (std::vector<std::string>{"a/", "after/", "quiet/"}));
}

TEST_F(ScriptTest, AScriptThatDeletesItselfEndsCleanly) {
  EXPECT_EQ(run({"@echo off", "md done", "del /f /q T.BAT"}, Environment()), "");
  EXPECT_FALSE(fs::exists("t.bat"));
  EXPECT_EQ(tree(), (std::vector<std::string>{"done/"}));
}

TEST_F(ScriptTest, AMissingScriptIsReported) {
  std::ostringstream out;
  Charset charset("UTF-8");
  Interpreter interpreter(Environment(), out, charset, launcher_);
  EXPECT_FALSE(interpreter.run_script("none.bat"));
  EXPECT_EQ(out.str(), utf8(u8"找不到批处理文件 none.bat。\n"));
}

TEST_F(ScriptTest, ReadOnlyFilesGoOnlyWithForce) {
  make("ro.txt=R");
  make("f/ro.txt=R");
  make("f/rw.txt=W");
  make("src.txt=S");
  chmod("ro.txt", 0444);
  chmod("f/ro.txt", 0444);
  EXPECT_EQ(run({"@echo off", "del /q RO.txt", "del /q f", "copy src.txt ro.txt"}, Environment()),
            utf8(u8"拒绝访问。 - RO.txt\n拒绝访问。 - f/ro.txt\n拒绝访问。 - ro.txt\n") + kCopied0);
  EXPECT_EQ(tree(), (std::vector<std::string>{"f/", "f/ro.txt=R", "ro.txt=R", "src.txt=S"}));
  EXPECT_EQ(run({"@echo off", "del /f /q ro.txt", "del /s /f /q f"}, Environment()), "");
  EXPECT_EQ(tree(), (std::vector<std::string>{"f/", "src.txt=S"}));
}

TEST_F(ScriptTest, CopiedFilesAreByteIdenticalAndGetOnlyTheirContents) {
  std::string big(5 * 1024 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) >> 3);
  std::ofstream("big.bin", std::ios::binary) << big;
  chmod("big.bin", 0700);
  mode_t mask = umask(022);
  EXPECT_EQ(run({"@echo off", "copy big.bin copy.bin", "md d", "copy big.bin D"}, Environment()),
            kCopied1 + kCopied1);
  umask(mask);
  EXPECT_EQ(slurp("copy.bin"), big);
  EXPECT_EQ(slurp("d/big.bin"), big);
  struct stat st {};
  ASSERT_EQ(stat("copy.bin", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(ScriptTest, ANameWrittenInSeveralCasesOnDiskMatchesNone) {
  make("a.TXT=1");
  make("A.txt=2");
  EXPECT_EQ(run({"@echo off", "del /f /q a.txt"}, Environment()), utf8(u8"找不到 a.txt\n"));
  EXPECT_EQ(tree(), (std::vector<std::string>{"A.txt=2", "a.TXT=1"}));
}

TEST_F(ScriptTest, StartAndExplorerHandOnWhatTheyOpen) {
  make("Doc.wps=D");
  EXPECT_EQ(run({"@echo off", "start \"\" \"doc.WPS\"", "start doc.wps", "explorer http://x/"},
                Environment({{"DISPLAY", ":0"}})),
            "");
  ASSERT_EQ(launcher_.plans.size(), 3u);
  EXPECT_EQ(launcher_.plans[0].mode, Launch::Mode::detached);
  EXPECT_EQ(launcher_.plans[0].argv, (std::vector<std::string>{"xdg-open", "Doc.wps"}));
  EXPECT_EQ(launcher_.plans[1].argv, (std::vector<std::string>{"xdg-open", "Doc.wps"}));
  EXPECT_EQ(launcher_.plans[2].argv, (std::vector<std::string>{"xdg-open", "http://x/"}));
  EXPECT_EQ(run({"@echo off", "start doc.wps"}, Environment({{"EDITOR", "ed"}})), "");
  ASSERT_EQ(launcher_.plans.size(), 4u);
  EXPECT_EQ(launcher_.plans[3].mode, Launch::Mode::wait);
  EXPECT_EQ(launcher_.plans[3].argv.back(), "Doc.wps");
}

TEST_F(ScriptTest, TheEditorGetsTheDocumentUnparsed) {
  const std::string doc = "a b;$(touch bad)'\".wps";
  make(doc + "=D");
  ProcessLauncher launcher;
  ASSERT_TRUE(
      launcher.launch(plan_start(Environment({{"EDITOR", "printf '%s' >edited.txt"}}), doc)));
  EXPECT_EQ(slurp("edited.txt"), doc);
  EXPECT_FALSE(fs::exists("bad"));
}

TEST_F(ScriptTest, ADetachedLaunchIsNotWaitedFor) {
  ProcessLauncher launcher;
  Launch plan{Launch::Mode::detached, {"/bin/sh", "-c", "sleep 0.2; echo x >opened.txt"}};
  ASSERT_TRUE(launcher.launch(plan));
  EXPECT_FALSE(fs::exists("opened.txt"));
  for (int i = 0; i < 100 && slurp("opened.txt").empty(); ++i) usleep(50 * 1000);
  EXPECT_EQ(slurp("opened.txt"), "x\n");
}

}  // namespace
}  // namespace kelvaro::standin
