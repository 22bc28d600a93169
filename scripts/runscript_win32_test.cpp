// RUNSCRIPT on Windows hands process creation the command line alone, exactly as built.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "scripts/runscript.hpp"
#include "testing/fake_console.hpp"
#include "testing/recording_runner.hpp"

namespace kelvaro {
namespace {

std::filesystem::path own_folder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::filesystem::path(std::string(path, n)).parent_path();
}

TEST(SystemScriptRunnerWin32, TheChildGetsTheQuotedNameAndTwoBlanks) {
  TempDir dir;
  std::filesystem::copy_file(own_folder() / "cmdline_probe.exe", "probe.exe");
  FakeConsole con;
  SystemScriptRunner runner(con);
  runner.run("probe.exe");
  EXPECT_EQ(read_file("cmdline.txt"), "\"probe.exe\"  ");
}

}  // namespace
}  // namespace kelvaro
