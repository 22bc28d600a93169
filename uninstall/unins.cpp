// UNINS: removes the store folder, and the list in it, after a yes/no question.
#include "uninstall/unins.hpp"

#include "scripts/stop.hpp"
#include "scripts/taskscript.hpp"
#include "shell/prompt.hpp"
#include "shell/session.hpp"

namespace kelvaro {

void UNINS(Session& s) {
  Active active("UNINS");
  ask(s, {"真的要卸载么？", "[1]:强制卸载             [2]:不卸载"}, 15, "12");
  if (s.CH == '2') return;
  s.con.clear_screen();
  write_line(s.con, "正在卸载软件...");
  // The store folder is the program's own, so its deletion may reach below it.
  run_task_script(s, "uninst.bat",
                  {"@echo off", "del /s /f /q \"%userprofile%\\Application Data\\VantuC\\Kelvaro\"",
                   "rd \"%userprofile%\\application Data\\VantuC\\Kelvaro\"", "del uninst.bat"});
}

}  // namespace kelvaro
