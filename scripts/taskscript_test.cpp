// Tests of the task scripts that move the command list: their bytes and how they are run.
#include "scripts/taskscript.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "scripts/runscript.hpp"
#include "scripts/stop.hpp"
#include "shell/session.hpp"
#include "testing/fake_console.hpp"
#include "testing/recording_runner.hpp"

namespace kelvaro {
namespace {

TEST(ScriptCommandLine, IsTheQuotedNameAndTwoBlanks) {
  EXPECT_EQ(script_command_line("Copy.bat"), "\"Copy.bat\"  ");
  EXPECT_EQ(script_command_line("Copy.bat").size(), 12u);
}

struct TaskScript : ::testing::Test {
  TempDir dir;
  FakeConsole con;
  RecordingRunner runner;
  Session s{con, runner};
};

TEST_F(TaskScript, FetchCopiesTheStoredListAndDeletesOnlyItself) {
  fetch_list(s);
  ASSERT_EQ(runner.runs.size(), 1u);
  EXPECT_EQ(runner.runs[0].name, "Copy.bat");
  EXPECT_EQ(runner.runs[0].bytes,
            "@echo off\r\n"
            "copy \"%userprofile%\\Application Data\\VantuC\\Kelvaro\\Command.txt\" "
            "\"Command.txt\"\r\n"
            "del /f /q Copy.bat\r\n");
  EXPECT_FALSE(file_exists("Copy.bat"));
}

TEST_F(TaskScript, PushDeletesTheWorkingCopyOnlyOnceItIsStored) {
  push_list(s);
  ASSERT_EQ(runner.runs.size(), 1u);
  EXPECT_EQ(runner.runs[0].bytes,
            "@echo off\r\n"
            "copy \"Command.txt\" "
            "\"%userprofile%\\Application Data\\VantuC\\Kelvaro\\Command.txt\"\r\n"
            "if exist \"%userprofile%\\Application Data\\VantuC\\Kelvaro\\Command.txt\" "
            "del /f /q Command.txt\r\n"
            "del /f /q Copy.bat\r\n");
}

TEST_F(TaskScript, BothCopyLinesAre78Bytes) {
  fetch_list(s);
  push_list(s);
  for (const auto& run : runner.runs) {
    auto start = run.bytes.find("copy");
    EXPECT_EQ(run.bytes.find("\r\n", start) - start, 78u);
  }
}

TEST_F(TaskScript, AReadOnlyScriptStopsTheProgramWithFive) {
  write_file("Copy.bat", "old");
  make_read_only("Copy.bat");
  try {
    fetch_list(s);
    FAIL() << "no stop";
  } catch (const FileError& error) {
    EXPECT_EQ(error.number, 5);
  }
  EXPECT_TRUE(runner.runs.empty());
}

}  // namespace
}  // namespace kelvaro
