// Dialogue tests of start-up and the main menu: keys in, screens out.
#include "shell/program.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/session.hpp"
#include "testing/fake_console.hpp"
#include "testing/recording_runner.hpp"

namespace kelvaro {
namespace {

const std::vector<std::string> kMenu = {
    "欢迎使用VantuC - Kelvaro软件",
    "软件将提供以下服务，请选择相对应的数字运作软件：",
    "[1]:软件无法使用；修复它",
    "[2]:选择Wps类型文件",
    "[3]:转化选择的文件",
    "[4]:绿色卸载软件",
    "[0]:退出软件",
};

struct MenuRun {
  TempDir dir;
  FakeConsole con;
  RecordingRunner runner;
  Session s{con, runner};
  Outcome outcome{-1, ""};

  explicit MenuRun(std::string_view keys) {
    con.type(keys);
    outcome = run_program(s);
  }
};

TEST(Startup, NewsScreenIsWrittenWhereTheCursorStandsWithoutClearing) {
  TempDir dir;
  FakeConsole con;
  con.write("C:\\>kelvaro\r\n");
  RecordingRunner runner;
  Session s(con, runner);
  con.type("x0");
  run_program(s);
  ASSERT_GE(con.prompts.size(), 1u);
  const auto& news = con.prompts[0];
  EXPECT_EQ(news.screen,
            (std::vector<std::string>{"C:\\>kelvaro", "软件版本：1.0.2.2", "软件更新处：",
                                      "  新增软件卸载", "请按任意键继续..."}));
  EXPECT_EQ(news.row, 5);
  EXPECT_EQ(news.column, 18);
  EXPECT_EQ(con.brights, 1);
}

TEST(Startup, TextsAreCodePage936Bytes) {
  std::string colon = "：";
  EXPECT_EQ(colon, "\xA3\xBA");
  EXPECT_EQ(kMenu[1].size(), 48u);
  EXPECT_EQ(std::string("软件版本：").size(), 10u);
}

TEST(Menu, EachKeyOutsideZeroToFourRedrawsTheMenuOnce) {
  // Any key leaves the news screen, "0" included; then each listed key redraws once.
  const std::string keys[] = {"a", "Z", "5", "9", "\r", "\x1b", " ", std::string("\0", 1)};
  for (const auto& key : keys) {
    MenuRun run("0" + key + "0x");
    EXPECT_EQ(run.outcome.status, 0);
    // news, two menus, the farewell
    ASSERT_EQ(run.con.prompts.size(), 4u) << "key " << int(key[0]);
    for (int menu = 1; menu <= 2; ++menu) {
      EXPECT_EQ(run.con.prompts[menu].screen, kMenu);
      EXPECT_EQ(run.con.prompts[menu].column, 49);
      EXPECT_EQ(run.con.prompts[menu].row, 2);
    }
    EXPECT_TRUE(run.runner.runs.empty());
  }
}

TEST(Menu, ZeroEndsThroughTheFarewell) {
  MenuRun run("x0x");
  EXPECT_EQ(run.outcome.status, 0);
  EXPECT_EQ(run.con.prompts.back().screen[0], "感谢使用该软件！");
  EXPECT_EQ(run.con.keys_left(), 0u);
  EXPECT_EQ(run.con.restores, 1);
}

TEST(Menu, ATwoValueKeyIsTestedValueByValue) {
  // Alt+N on the news screen: its 0 leaves the news, its 49 ("1") runs repair.
  MenuRun run(std::string("\0"
                          "1",
                          2) +
              "k" + "0x");
  ASSERT_FALSE(run.runner.runs.empty());
  EXPECT_EQ(run.runner.runs[0].name, "Fixit.bat");
  EXPECT_EQ(run.con.prompts[1].screen, kMenu);
  EXPECT_EQ(run.con.prompts[2].screen, std::vector<std::string>{"修复完毕，请按任意键继续"});
}

TEST(Menu, EndOfInputEndsTheRunWithoutTheFarewell) {
  MenuRun run("x77");
  EXPECT_EQ(run.outcome.status, kInputClosedStatus);
  EXPECT_NE(run.outcome.status, 0);
  EXPECT_EQ(run.con.screen(), kMenu);
  EXPECT_EQ(run.con.restores, 1);
}

TEST(Menu, AProcedureReturnsToAFreshMenu) {
  MenuRun run(
      "x42"
      "0x");  // uninstall, answered "2"
  ASSERT_EQ(run.con.prompts.size(), 5u);
  EXPECT_EQ(run.con.prompts[3].screen, kMenu);
  EXPECT_EQ(run.con.prompts[3].column, 49);
}

}  // namespace
}  // namespace kelvaro
