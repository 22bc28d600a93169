// Dialogue tests of choosing files: the editing script, the prompt's keys, and the example.
#include "commandlist/chooo.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "scripts/stop.hpp"
#include "shell/session.hpp"
#include "testing/fake_console.hpp"
#include "testing/recording_runner.hpp"

namespace kelvaro {
namespace {

const std::string kPrompt = "请按任意键确认已正确输入，或按[E]键退出选择栏，按[X]键查看指令样例";
const std::string kClosing = "指令传输完成！您可以按任意键返回主菜单，或按[N]键直接进入转化区";

const std::string kEditScript =
    "@echo off\r\n"
    "copy \"%userprofile%\\Application Data\\VantuC\\Kelvaro\\Command.txt\" \"Command.txt\"\r\n"
    "start Command.txt\r\n"
    "del /f /q Copy.bat\r\n";

struct Choose : ::testing::Test {
  TempDir dir;
  FakeConsole con;
  RecordingRunner runner;
  Session s{con, runner};

  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& run : runner.runs) out.push_back(run.name);
    return out;
  }
};

TEST_F(Choose, AnyOtherKeyTransfersTheListAndOffersTheConversion) {
  for (const char* key : {"1", " ", "\r", "y"}) {
    runner.runs.clear();
    con.prompts.clear();
    con.type(key);
    con.type("m");
    CHOOO(s);
    ASSERT_EQ(names(), (std::vector<std::string>{"Copy.bat", "Copy.bat"})) << key;
    EXPECT_EQ(runner.runs[0].bytes, kEditScript);
    EXPECT_NE(runner.runs[1].bytes.find("copy \"Command.txt\""), std::string::npos);
    ASSERT_EQ(con.prompts.size(), 2u);
    EXPECT_EQ(con.prompts[0].screen, std::vector<std::string>{kPrompt});
    EXPECT_EQ(con.prompts[1].screen, std::vector<std::string>{kClosing});
    EXPECT_EQ(s.CH, 'm');
  }
}

TEST_F(Choose, ELeavesTheWorkingCopyAndTheStoreAlone) {
  for (const char* key : {"E", "e"}) {
    runner.runs.clear();
    con.type(key);
    CHOOO(s);
    EXPECT_EQ(names(), std::vector<std::string>{"Copy.bat"}) << key;
    EXPECT_EQ(con.keys_left(), 0u);
  }
}

TEST_F(Choose, XWritesTheExampleThenTransfersWithoutAskingAgain) {
  con.type("x");
  con.type("q");
  CHOOO(s);
  EXPECT_EQ(names(), (std::vector<std::string>{"Copy.bat", "Open.bat", "Copy.bat"}));
  EXPECT_EQ(runner.runs[1].bytes, "@echo off\r\nstart Example.txt\r\ndel /f /q open.bat\r\n");
  std::string example = read_file("Example.txt");
  EXPECT_EQ(example,
            "请把要转化的Wps类型文件的完整路径输入到该文本文档中，一行输入一个文件！\r\n"
            "c:\\柯萝\r\n"
            "E:\\计划\\2011年\\7月计划.Wps\r\n"
            "\"d：\\Social I\\Pronunciation\\What's More.Wps\"\r\n"
            "\"F:\\a a.wps\"\r\n"
            "\"G：\\o k\"\r\n"
            "\r\n"
            "（以下不用输入）：\r\n"
            "总而言之，即：大体格式为：X:\\...\\...\\*(.Wps)\r\n"
            "其中X表磁盘名，可大写小写；\r\n"
            "X后面的冒号可占1字节，也可2字节；\r\n"
            "支持中英文文件夹输入；\r\n"
            "后缀名\".Wps\"可不输入；\r\n"
            "※若输入到文件或文件夹名中含空格，需要在路径左右边加上占一个字节的双引号[\"]\r\n" +
                std::string(59, ' ') + "VantuC - Kelvaro\r\n");
  EXPECT_EQ(example.size(), 515u);
  ASSERT_EQ(con.prompts.size(), 2u);
  EXPECT_EQ(con.prompts[1].screen, std::vector<std::string>{kClosing});
  // The transfer line stood below the prompt before the closing screen.
  EXPECT_EQ(con.clears, 3);
}

TEST_F(Choose, TheTransferLineFollowsThePromptOnTheSameScreen) {
  std::vector<std::string> during_push;
  RecordingRunner watching([&](const std::string& name) {
    during_push = con.screen();
    std::filesystem::remove(name);
  });
  Session watched(con, watching);
  con.type("k");
  con.type("k");
  CHOOO(watched);
  EXPECT_EQ(during_push, (std::vector<std::string>{kPrompt, "正在传输指令..."}));
  EXPECT_EQ(con.pauses, std::vector<int>{500});
}

TEST_F(Choose, NGoesStraightOnToTheConversion) {
  // Alt+F7 at the prompt: its 0 confirms, its 110 ("n") starts the conversion, which
  // fetches the list just pushed; with no list at all, reading it stops the program.
  con.type(
      std::string("\0"
                  "n",
                  2));
  try {
    CHOOO(s);
    FAIL() << "the conversion did not start";
  } catch (const FileError& error) {
    EXPECT_EQ(error.number, 2);
    EXPECT_EQ(error.trace, (std::vector<std::string>{"CHAAA", "CHOOO"}));
  }
  EXPECT_EQ(names(), (std::vector<std::string>{"Copy.bat", "Copy.bat", "Copy.bat"}));
}

}  // namespace
}  // namespace kelvaro
