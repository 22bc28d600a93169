// CHOOO and EXAM: the user edits the command list in an editor, with a worked example on request.
#include "commandlist/chooo.hpp"

#include "commandlist/fixit.hpp"
#include "convert/chaaa.hpp"
#include "scripts/stop.hpp"
#include "scripts/taskscript.hpp"
#include "shell/session.hpp"

namespace kelvaro {

namespace {

// Read as a command list, the example yields its five samples and stops at the empty line.
void EXAM(Session& s) {
  Active active("EXAM");
  static const char* const kExample[] = {
      "c:\\柯萝",
      "E:\\计划\\2011年\\7月计划.Wps",
      "\"d：\\Social I\\Pronunciation\\What's More.Wps\"",
      "\"F:\\a a.wps\"",
      "\"G：\\o k\"",
      "",
      "（以下不用输入）：",
      "总而言之，即：大体格式为：X:\\...\\...\\*(.Wps)",
      "其中X表磁盘名，可大写小写；",
      "X后面的冒号可占1字节，也可2字节；",
      "支持中英文文件夹输入；",
      "后缀名\".Wps\"可不输入；",
      "※若输入到文件或文件夹名中含空格，需要在路径左右边加上占一个字节的双引号[\"]",
      "                                                           VantuC - Kelvaro",
  };
  s.F.create("Example.txt");
  s.F.line(kHeaderLine);
  for (const char* line : kExample) s.F.line(line);
  s.F.close();
  run_task_script(s, "Open.bat", {"@echo off", "start Example.txt", "del /f /q open.bat"});
}

}  // namespace

void CHOOO(Session& s) {
  Active active("CHOOO");
  s.con.clear_screen();
  write_line(s.con, "准备打开命令...");
  s.con.pause(500);
  run_task_script(s, "Copy.bat",
                  {"@echo off", kFetchLine, "start Command.txt", "del /f /q Copy.bat"});
  s.con.clear_screen();
  write_line(s.con, "请按任意键确认已正确输入，或按[E]键退出选择栏，按[X]键查看指令样例");
  s.CH = s.con.get_key();
  if (upper_case(s.CH) == 'E') return;
  if (upper_case(s.CH) == 'X') EXAM(s);
  write_line(s.con, "正在传输指令...");
  push_list(s);
  s.con.clear_screen();
  write_line(s.con, "指令传输完成！您可以按任意键返回主菜单，或按[N]键直接进入转化区");
  s.CH = s.con.get_key();
  if (upper_case(s.CH) == 'N') CHAAA(s);
}

}  // namespace kelvaro
