// FIXIT: makes the maker and store folders and replaces the stored list with a fresh one.
#include "commandlist/fixit.hpp"

#include "scripts/stop.hpp"
#include "scripts/taskscript.hpp"
#include "shell/session.hpp"

namespace kelvaro {

void FIXIT(Session& s) {
  Active active("FIXIT");
  s.con.clear_screen();
  write_line(s.con, "正在输入指令...");
  s.con.pause(500);
  run_task_script(
      s, "Fixit.bat",
      {"@echo off", "md \"%userprofile%\\Application Data\\VantuC\"",
       "md \"%userprofile%\\Application Data\\VantuC\\Kelvaro\"", "del /f /q Fixit.bat"});
  s.con.clear_screen();
  write_line(s.con, "正在修复文件...");
  s.con.pause(500);
  s.F.create("Command.txt");
  s.F.line(kHeaderLine);
  s.F.close();
  push_list(s);
  s.con.clear_screen();
  write_line(s.con, "修复完毕，请按任意键继续");
  s.con.get_key();
}

}  // namespace kelvaro
