// Dialogue tests of the conversion run: its scripts, screens, prompt, report and Error.txt.
#include "convert/chaaa.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "scripts/stop.hpp"
#include "shell/session.hpp"
#include "testing/fake_console.hpp"
#include "testing/recording_runner.hpp"

namespace kelvaro {
namespace {

using Lines = std::vector<std::string>;

const std::string kHeader =
    "请把要转化的Wps类型文件的完整路径输入到该文本文档中，一行输入一个文件！";
const std::string kFetch =
    "@echo off\r\n"
    "copy \"%userprofile%\\Application Data\\VantuC\\Kelvaro\\Command.txt\" \"Command.txt\"\r\n"
    "del /f /q Copy.bat\r\n";
const std::string kCleanup = "@echo off\r\ndel /f /q Command.txt\r\ndel /f /q del.bat\r\n";
const std::string kCopied = "        1 file(s) copied.";
const Lines kPrompt = {"转化完成后是否需要删除原文件？", "[1]:删除         [2]:保留"};
const Lines kFarewell = {"感谢使用该软件！", "软件来自：Vantu", "软件版本：1.0.2.2",
                         "请按[Q]键升级软件，或按任意键退出"};

std::string list_of(const Lines& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

// The store is stood in for by `stored`: the fetch script copies it in as the working copy.
struct Conversion : ::testing::Test {
  TempDir dir;
  FakeConsole con;
  std::string stored;
  std::vector<Lines> screens_at_runs;
  RecordingRunner runner{[this](const std::string& name) {
    screens_at_runs.push_back(con.screen());
    if (name == "Copy.bat") write_file("Command.txt", stored);
    if (name == "Del.bat") std::filesystem::remove("Command.txt");
    if (name == "Shift.bat") con.write(kCopied + "\r\n");
    std::filesystem::remove(name);
  }};
  Session s{con, runner};

  Lines names() const {
    Lines out;
    for (const auto& run : runner.runs) out.push_back(run.name);
    return out;
  }

  // Runs a conversion that ends in the farewell; returns its exit status.
  int end_in_farewell() {
    try {
      CHAAA(s);
    } catch (const ProgramEnd& end) {
      return end.status;
    }
    return -1;
  }
};

TEST_F(Conversion, DeletingRunCopiesThenDeletesTheSourcesWhoseCopiesExist) {
  stored = list_of({kHeader, "c:\\柯萝", "E:\\计划\\2011年\\7月计划.Wps", "\"F:\\a a.wps\""});
  con.type("k1z");
  CHAAA(s);
  EXPECT_EQ(names(), (Lines{"Copy.bat", "Del.bat", "Shift.bat"}));
  EXPECT_EQ(runner.runs[0].bytes, kFetch);
  EXPECT_EQ(runner.runs[1].bytes, kCleanup);
  EXPECT_EQ(runner.runs[2].bytes,
            "@echo off\r\n"
            "Copy c:\\柯萝.Wps c:\\柯萝.doc\r\n"
            "Copy E:\\计划\\2011年\\7月计划.wps E:\\计划\\2011年\\7月计划.doc\r\n"
            "Copy \"F:\\a a.wps\" \"F:\\a a.doc\"\r\n"
            "if exist c:\\柯萝.doc del /f /q c:\\柯萝.Wps\r\n"
            "if exist E:\\计划\\2011年\\7月计划.doc del /f /q E:\\计划\\2011年\\7月计划.wps\r\n"
            "if exist \"F:\\a a.doc\" del /f /q \"F:\\a a.wps\"\r\n"
            "del /f /q shift.bat\r\n");
  EXPECT_EQ(screens_at_runs, (std::vector<Lines>{{"正在预读指令..."}, {}, {"正在执行..."}}));
  ASSERT_EQ(con.prompts.size(), 3u);
  EXPECT_EQ(con.prompts[0].screen, (Lines{"正在审查指令...", "恭喜，无指令错误！请按任意键继续"}));
  EXPECT_EQ(con.prompts[1].screen, kPrompt);
  EXPECT_EQ(con.prompts[1].column, 31);
  EXPECT_EQ(con.prompts[1].row, 1);
  EXPECT_EQ(con.prompts[2].screen, (Lines{"正在执行...", kCopied, "转换完成！请按任意键继续"}));
  EXPECT_EQ(con.pauses, (std::vector<int>{500, 500, 500}));
  EXPECT_EQ(con.keys_left(), 0u);
  EXPECT_EQ(s.CH, '1');
  EXPECT_EQ(s.L, 3);
  EXPECT_EQ(s.LONGS, (Lines{"c:\\柯萝.Wps", "E:\\计划\\2011年\\7月计划.wps", "\"F:\\a a.wps\""}));
  EXPECT_EQ(s.FORDC, (Lines{"c:\\柯萝.doc", "E:\\计划\\2011年\\7月计划.doc", "\"F:\\a a.doc\""}));
  for (const char* left : {"Command.txt", "Copy.bat", "Del.bat", "Shift.bat", "Error.txt"}) {
    EXPECT_FALSE(file_exists(left)) << left;
  }
}

TEST_F(Conversion, PromptIsRedrawnUntilOneOrTwoAndKeepingWritesNoDeletions) {
  stored = list_of({kHeader, "C:\\T&J.wps", kHeader, "100%", "   "});
  con.type("k");
  con.type("a\r");
  con.type(std::string(1, '\0') + ";");
  con.type("2z");
  CHAAA(s);
  EXPECT_EQ(runner.runs.at(2).bytes,
            "@echo off\r\n"
            "Copy \"C:\\T&J.wps\" \"C:\\T&J.doc\"\r\n"
            "Copy 100%%.Wps 100%%.doc\r\n"
            "del /f /q shift.bat\r\n");
  ASSERT_EQ(con.prompts.size(), 7u);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(con.prompts[i].screen, kPrompt) << i;
    EXPECT_EQ(con.prompts[i].column, 31) << i;
  }
  EXPECT_EQ(s.CH, '2');
}

TEST_F(Conversion, HeaderAloneGivesAScriptOfTwoLines) {
  stored = list_of({kHeader, "", "C:\\after the end.wps"});
  con.type("k1z");
  CHAAA(s);
  EXPECT_EQ(s.L, 0);
  EXPECT_TRUE(s.FORDC.empty());
  EXPECT_EQ(runner.runs.at(2).bytes, "@echo off\r\ndel /f /q shift.bat\r\n");
  EXPECT_EQ(con.prompts.at(0).screen,
            (Lines{"正在审查指令...", "恭喜，无指令错误！请按任意键继续"}));
}

const Lines kWorkedList = {
    kHeader,
    "c:\\柯萝",
    "E:\\计划\\2011年\\7月计划.Wps",
    "\"d：\\Social I\\Pronunciation\\What's More.Wps\"",
    "\"F:\\a a.wps\"",
    "\"G：\\o k\"",
    "D：\\文档\\报告.wps",
    "   C:\\a.wps   ",
    "C:\\my file.wps",
    "\"C:\\my file.wps",
    "C:\\my file.wps\"",
    "C:\\\"my\" file.wps",
    "\"C:\\a.wps",
    "C:\\a.txt",
    "C:\\a.docx",
    "C:\\a.b\\c",
    "abc",
    "\"C:\\x y.docx\"",
};

TEST_F(Conversion, FaultsAreReportedSavedOnTAndEndTheRun) {
  stored = list_of(kWorkedList);
  write_file("Error.txt", "an older report, longer than the new one will be");
  con.type("tx");
  EXPECT_EQ(end_in_farewell(), 0);
  EXPECT_EQ(names(), (Lines{"Copy.bat", "Del.bat"}));
  ASSERT_EQ(con.prompts.size(), 2u);
  EXPECT_EQ(con.prompts[0].screen,
            (Lines{"正在审查指令...", "有     3条指令错误：", "第     8条命令错误，缺少引号",
                   "第     9条命令错误，引号只有1个", "第    10条命令错误，引号只有1个",
                   "无法进行转换工作", "请按任意键退出软件，或按[T]键保存错误"}));
  EXPECT_EQ(con.prompts[1].screen, kFarewell);
  EXPECT_EQ(read_file("Error.txt"),
            "共有     3条指令错误；\r\n"
            "第     8条命令错误，缺少引号\r\n"
            "第     9条命令错误，引号只有1个\r\n"
            "第    10条命令错误，引号只有1个\r\n"
            "                             VantuC - Kelvaro\r\n");
  EXPECT_EQ(s.LONGS.at(11), "\"C:\\a.wps");
  EXPECT_EQ(s.FORDC.at(16), "\"C:\\x y.docx.doc\"");
  EXPECT_FALSE(file_exists("Command.txt"));
}

TEST_F(Conversion, AnyOtherKeyEndsTheRunWithoutSaving) {
  stored = list_of(kWorkedList);
  for (std::string keys : {std::string("x"), std::string("\0", 1), std::string("\r")}) {
    runner.runs.clear();
    con.prompts.clear();
    con.type(keys + "x");
    EXPECT_EQ(end_in_farewell(), 0);
    EXPECT_EQ(names(), (Lines{"Copy.bat", "Del.bat"}));
    EXPECT_EQ(con.prompts.back().screen, kFarewell);
    EXPECT_FALSE(file_exists("Error.txt"));
  }
}

TEST_F(Conversion, EveryCommandIsCheckedAndNumbered) {
  Lines lines = {kHeader};
  for (int i = 0; i < 100; ++i) lines.push_back(i == 50 ? kHeader : "C:\\my file.wps");
  lines.push_back("C:\\my file.wps");
  lines.push_back(std::string(300, 'x'));
  lines.push_back("C:\\fine.wps");
  stored = list_of(lines);
  con.type("Tx");
  EXPECT_EQ(end_in_farewell(), 0);
  EXPECT_EQ(s.L, 102);
  std::string report = read_file("Error.txt");
  EXPECT_EQ(report.find("共有   101条指令错误；\r\n第     1条命令错误，缺少引号\r\n"), 0u);
  EXPECT_NE(report.find("\r\n第   100条命令错误，缺少引号\r\n第   101条命令错误，路径过长\r\n"
                        "                             VantuC - Kelvaro\r\n"),
            std::string::npos);
  const Lines& screen = con.prompts.at(0).screen;
  ASSERT_GE(screen.size(), 3u);
  EXPECT_EQ(Lines(screen.end() - 3, screen.end()),
            (Lines{"第   101条命令错误，路径过长", "无法进行转换工作",
                   "请按任意键退出软件，或按[T]键保存错误"}));
}

TEST_F(Conversion, AHundredThousandCommandsAreConverted) {
  std::string list = kHeader + "\r\n";
  for (int i = 0; i < 100000; ++i) list += "D:\\文档\\" + std::to_string(i) + "\r\n";
  stored = list;
  con.type("k1z");
  CHAAA(s);
  ASSERT_EQ(s.L, 100000);
  const std::string& script = runner.runs.at(2).bytes;
  EXPECT_EQ(std::count(script.begin(), script.end(), '\n'), 200002);
  EXPECT_NE(script.find("\r\nCopy D:\\文档\\99999.Wps D:\\文档\\99999.doc\r\nif exist "),
            std::string::npos);
}

TEST(ConversionWithoutList, StopsWithErrorNumberTwo) {
  TempDir dir;
  FakeConsole con;
  RecordingRunner runner;
  Session s(con, runner);
  try {
    CHAAA(s);
    FAIL() << "no stop";
  } catch (const FileError& error) {
    EXPECT_EQ(error.number, 2);
    ASSERT_FALSE(error.trace.empty());
    EXPECT_EQ(error.trace.front(), "CHAAA");
  }
  EXPECT_EQ(runner.runs.size(), 1u);
}

}  // namespace
}  // namespace kelvaro
