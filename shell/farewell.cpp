// DOUTING: the farewell screen that ends every orderly run.
#include "shell/farewell.hpp"

#include <string>

#include "scripts/stop.hpp"
#include "scripts/taskscript.hpp"
#include "shell/program.hpp"
#include "shell/session.hpp"

namespace kelvaro {

void DOUTING(Session& s) {
  Active active("DOUTING");
  s.con.clear_screen();
  write_line(s.con, "感谢使用该软件！");
  write_line(s.con, "软件来自：Vantu");
  s.con.write("软件版本：");
  write_line(s.con, kVersion);
  write_line(s.con, "请按[Q]键升级软件，或按任意键退出");
  s.CH = s.con.get_key();
  if (upper_case(s.CH) == 'Q') {
    std::string open_page = std::string("explorer \"") + kUpdatePage + "\"";
    run_task_script(s, "Open.bat", {"@echo off", open_page, "del /f /q open.bat"});
  }
  throw ProgramEnd{0};
}

}  // namespace kelvaro
