// Dialogue tests of uninstall: the question, its redraws, and uninst.bat.
#include "uninstall/unins.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "shell/session.hpp"
#include "testing/fake_console.hpp"
#include "testing/recording_runner.hpp"

namespace kelvaro {
namespace {

const std::vector<std::string> kQuestion = {"真的要卸载么？",
                                            "[1]:强制卸载             [2]:不卸载"};

struct Uninstall : ::testing::Test {
  TempDir dir;
  FakeConsole con;
  RecordingRunner runner;
  Session s{con, runner};
};

TEST_F(Uninstall, OtherKeysRedrawTheQuestionThenTwoKeepsEverything) {
  con.type(
      std::string("034a\r\x1b\0"
                  "2",
                  8));
  UNINS(s);
  ASSERT_EQ(con.prompts.size(), 8u);
  for (const auto& prompt : con.prompts) {
    EXPECT_EQ(prompt.screen, kQuestion);
    EXPECT_EQ(prompt.column, 15);
    EXPECT_EQ(prompt.row, 1);
  }
  EXPECT_TRUE(runner.runs.empty());
  EXPECT_EQ(s.CH, '2');
}

TEST_F(Uninstall, OneRunsTheScriptAndReturnsWithoutAMessage) {
  std::vector<std::string> during;
  RecordingRunner watching([&](const std::string& name) {
    during = con.screen();
    std::filesystem::remove(name);
  });
  Session watched(con, watching);
  con.type(
      std::string("\0"
                  "1",
                  2));  // Alt+N: 0 redraws, "1" uninstalls
  UNINS(watched);
  ASSERT_EQ(watching.runs.size(), 1u);
  EXPECT_EQ(watching.runs[0].name, "uninst.bat");
  EXPECT_EQ(watching.runs[0].bytes,
            "@echo off\r\n"
            "del /s /f /q \"%userprofile%\\Application Data\\VantuC\\Kelvaro\"\r\n"
            "rd \"%userprofile%\\application Data\\VantuC\\Kelvaro\"\r\n"
            "del uninst.bat\r\n");
  EXPECT_EQ(during, std::vector<std::string>{"正在卸载软件..."});
  EXPECT_TRUE(con.pauses.empty());
  EXPECT_EQ(con.prompts.size(), 2u);
}

}  // namespace
}  // namespace kelvaro
