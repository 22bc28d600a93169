// RUNSCRIPT through the platform's real interpreter: it waits for the script and reports nothing.
#include "scripts/runscript.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "testing/fake_console.hpp"
#include "testing/recording_runner.hpp"

namespace kelvaro {
namespace {

TEST(SystemScriptRunner, ReturnsOnlyWhenTheScriptHasEnded) {
  TempDir dir;
  write_file("source.txt", "content");
  write_file("Task.bat",
             "@echo off\r\nmd made\r\ncopy source.txt made\\copied.txt\r\ndel /f /q Task.bat\r\n");
  FakeConsole con;
  SystemScriptRunner runner(con);
  runner.run("Task.bat");
  EXPECT_EQ(read_file("made/copied.txt"), "content");
  EXPECT_FALSE(file_exists("Task.bat"));
  EXPECT_EQ(con.releases, 1);
  EXPECT_EQ(con.reacquires, 1);
}

TEST(SystemScriptRunner, AScriptThatCannotBeStartedIsNotReported) {
  TempDir dir;
  FakeConsole con;
  SystemScriptRunner runner(con);
  runner.run("Missing.bat");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  EXPECT_EQ(con.reacquires, 1);
}

}  // namespace
}  // namespace kelvaro
