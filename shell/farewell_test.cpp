// Dialogue tests of the farewell: the screen, the update script on [Q], and the exit status.
#include "shell/farewell.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "scripts/stop.hpp"
#include "shell/session.hpp"
#include "testing/fake_console.hpp"
#include "testing/recording_runner.hpp"

namespace kelvaro {
namespace {

struct Farewell : ::testing::Test {
  TempDir dir;
  FakeConsole con;
  RecordingRunner runner;
  Session s{con, runner};

  int end_with(std::string_view key) {
    con.write("left over\r\n");
    con.type(key);
    try {
      DOUTING(s);
    } catch (const ProgramEnd& end) {
      return end.status;
    }
    return -1;
  }
};

TEST_F(Farewell, ShowsFourRowsAndWaitsBelowThem) {
  EXPECT_EQ(end_with("x"), 0);
  ASSERT_EQ(con.prompts.size(), 1u);
  EXPECT_EQ(con.prompts[0].screen,
            (std::vector<std::string>{"感谢使用该软件！", "软件来自：Vantu", "软件版本：1.0.2.2",
                                      "请按[Q]键升级软件，或按任意键退出"}));
  EXPECT_EQ(con.prompts[0].column, 1);
  EXPECT_EQ(con.prompts[0].row, 5);
}

TEST_F(Farewell, QOrLowerCaseQOpensTheUpdatePage) {
  for (const char* key : {"Q", "q"}) {
    runner.runs.clear();
    EXPECT_EQ(end_with(key), 0);
    ASSERT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(runner.runs[0].name, "Open.bat");
    EXPECT_EQ(runner.runs[0].bytes,
              "@echo off\r\nexplorer \"Http://www.vantuc.example/\"\r\ndel /f /q open.bat\r\n");
  }
}

TEST_F(Farewell, AnyOtherKeyEndsWithoutWritingAFile) {
  for (std::string key : {std::string("T"), std::string("\r"), std::string("\x1b"),
                          std::string("1"), std::string("0"), std::string("\0", 1)}) {
    EXPECT_EQ(end_with(key), 0);
    EXPECT_TRUE(runner.runs.empty());
    EXPECT_FALSE(file_exists("Open.bat"));
  }
}

TEST_F(Farewell, AFolderNamedOpenBatStopsWithFive) {
  std::filesystem::create_directory("Open.bat");
  con.type("q");
  try {
    DOUTING(s);
    FAIL() << "no stop";
  } catch (const FileError& error) {
    EXPECT_EQ(error.number, 5);
    EXPECT_EQ(error.trace, std::vector<std::string>{"DOUTING"});
  }
}

}  // namespace
}  // namespace kelvaro
