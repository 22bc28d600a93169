// CHAAA and IFERROR: loading, checking and converting the command list, and the error report.
#include "convert/chaaa.hpp"

#include <string>
#include <vector>

#include "convert/check.hpp"
#include "convert/reader.hpp"
#include "convert/shift.hpp"
#include "scripts/number.hpp"
#include "scripts/stop.hpp"
#include "scripts/taskscript.hpp"
#include "shell/farewell.hpp"
#include "shell/prompt.hpp"
#include "shell/session.hpp"

namespace kelvaro {

namespace {

void save_errors(Session& s, const std::vector<std::string>& ERROR) {
  s.F.create("Error.txt");
  s.F.write("共有");
  s.F.write_number(static_cast<long>(ERROR.size()), 6);
  s.F.line("条指令错误；");
  for (const auto& message : ERROR) s.F.line(message);
  s.F.line("                             VantuC - Kelvaro");
  s.F.close();
}

[[noreturn]] void report(Session& s, const std::vector<std::string>& ERROR) {
  write_line(s.con, "有" + right_aligned(static_cast<long>(ERROR.size()), 6) + "条指令错误：");
  for (const auto& message : ERROR) write_line(s.con, message);
  write_line(s.con, "无法进行转换工作");
  write_line(s.con, "请按任意键退出软件，或按[T]键保存错误");
  s.CH = s.con.get_key();
  if (upper_case(s.CH) == 'T') save_errors(s, ERROR);
  DOUTING(s);
}

void write_shift(Session& s) {
  s.F.create("Shift.bat");
  s.F.line("@echo off");
  for (int i = 0; i < s.L; ++i) s.F.line(copy_line(s.LONGS[i], s.FORDC[i]));
  if (s.CH == '1') {
    for (int i = 0; i < s.L; ++i) s.F.line(delete_line(s.LONGS[i], s.FORDC[i]));
  }
  s.F.line("del /f /q shift.bat");
  s.F.close();
}

}  // namespace

void IFERROR(Session& s) {
  Active active("IFERROR");
  std::vector<std::string> ERROR;
  s.FORDC.resize(s.L);
  for (int i = 0; i < s.L; ++i) {
    Checked checked = check_command(s.LONGS[i]);
    if (checked.fault != Fault::none) ERROR.push_back(fault_message(checked.fault, i + 1));
    s.LONGS[i] = std::move(checked.source);
    s.FORDC[i] = std::move(checked.target);
  }
  if (!ERROR.empty()) report(s, ERROR);
  write_line(s.con, "恭喜，无指令错误！请按任意键继续");
  s.con.get_key();
}

void CHAAA(Session& s) {
  Active active("CHAAA");
  s.con.clear_screen();
  write_line(s.con, "正在预读指令...");
  s.con.pause(500);
  fetch_list(s);
  s.con.clear_screen();
  s.F.open_read("Command.txt");
  s.LONGS = read_commands([&s] { return s.F.read_byte(); });
  s.L = static_cast<int>(s.LONGS.size());
  s.F.close();
  run_task_script(s, "Del.bat", {"@echo off", "del /f /q Command.txt", "del /f /q del.bat"});
  s.con.clear_screen();
  write_line(s.con, "正在审查指令...");
  s.con.pause(500);
  IFERROR(s);
  ask(s, {"转化完成后是否需要删除原文件？", "[1]:删除         [2]:保留"}, 31, "12");
  s.con.clear_screen();
  write_line(s.con, "正在执行...");
  s.con.pause(500);
  write_shift(s);
  s.runner.run("Shift.bat");
  // Below what the copies printed, so that their messages stay to be read.
  write_line(s.con, "转换完成！请按任意键继续");
  s.con.get_key();
}

}  // namespace kelvaro
