// Dialogue tests of repair: its three screens, Fixit.bat, and the fresh 73-byte list it pushes.
#include "commandlist/fixit.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "shell/session.hpp"
#include "testing/fake_console.hpp"
#include "testing/recording_runner.hpp"

namespace kelvaro {
namespace {

TEST(Fixit, HeaderLineIs71BytesOfCodePage936) {
  EXPECT_EQ(kHeaderLine.size(), 71u);
  EXPECT_EQ(kHeaderLine.substr(0, 2), "\xC7\xEB");
}

TEST(Fixit, MakesTheFoldersParentFirstThenPushesAFreshList) {
  TempDir dir;
  write_file("Command.txt", "stale\r\n");
  FakeConsole con;
  std::string pushed;
  RecordingRunner runner([&](const std::string& name) {
    if (name == "Copy.bat") pushed = read_file("Command.txt");
    std::filesystem::remove(name);
  });
  Session s(con, runner);
  s.CH = '7';
  con.type(std::string("\0", 1));
  FIXIT(s);
  ASSERT_EQ(runner.runs.size(), 2u);
  EXPECT_EQ(runner.runs[0].name, "Fixit.bat");
  EXPECT_EQ(runner.runs[0].bytes,
            "@echo off\r\n"
            "md \"%userprofile%\\Application Data\\VantuC\"\r\n"
            "md \"%userprofile%\\Application Data\\VantuC\\Kelvaro\"\r\n"
            "del /f /q Fixit.bat\r\n");
  EXPECT_EQ(runner.runs[1].name, "Copy.bat");
  EXPECT_EQ(pushed, std::string(kHeaderLine) + "\r\n");
  EXPECT_EQ(pushed.size(), 73u);
  EXPECT_EQ(s.CH, '7');  // the completion key is not kept
  EXPECT_EQ(con.pauses, (std::vector<int>{500, 500}));
  EXPECT_EQ(con.clears, 3);
  ASSERT_EQ(con.prompts.size(), 1u);
  EXPECT_EQ(con.prompts[0].screen, std::vector<std::string>{"修复完毕，请按任意键继续"});
}

TEST(Fixit, TheScreensComeInOrderEachOnAClearedScreen) {
  TempDir dir;
  FakeConsole con;
  std::vector<std::vector<std::string>> seen;
  RecordingRunner runner([&](const std::string& name) {
    seen.push_back(con.screen());
    std::filesystem::remove(name);
  });
  Session s(con, runner);
  con.type("x");
  FIXIT(s);
  EXPECT_EQ(seen,
            (std::vector<std::vector<std::string>>{{"正在输入指令..."}, {"正在修复文件..."}}));
}

}  // namespace
}  // namespace kelvaro
