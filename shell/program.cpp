// The program body: start-up, the news screen and the main menu, and how a run ends.
#include "shell/program.hpp"

#include "commandlist/chooo.hpp"
#include "commandlist/fixit.hpp"
#include "convert/chaaa.hpp"
#include "scripts/stop.hpp"
#include "shell/farewell.hpp"
#include "shell/session.hpp"
#include "uninstall/unins.hpp"

namespace kelvaro {

namespace {

void news(Session& s) {
  s.con.write("软件版本：");
  write_line(s.con, kVersion);
  write_line(s.con, "软件更新处：");
  write_line(s.con, "  新增软件卸载");
  s.con.write("请按任意键继续...");
  s.con.get_key();
}

}  // namespace

void menu_pass(Session& s) {
  s.con.clear_screen();
  write_line(s.con, "欢迎使用VantuC - Kelvaro软件");
  write_line(s.con, "软件将提供以下服务，请选择相对应的数字运作软件：");
  write_line(s.con, "[1]:软件无法使用；修复它");
  write_line(s.con, "[2]:选择Wps类型文件");
  write_line(s.con, "[3]:转化选择的文件");
  write_line(s.con, "[4]:绿色卸载软件");
  write_line(s.con, "[0]:退出软件");
  s.con.cursor_to(49, 2);
  s.CH = s.con.get_key();
  if (s.CH < '0' || s.CH > '4') return;
  if (s.CH == '0') {
    DOUTING(s);
  } else if (s.CH == '1') {
    FIXIT(s);
  } else if (s.CH == '2') {
    CHOOO(s);
  } else if (s.CH == '3') {
    CHAAA(s);
  } else {
    UNINS(s);
  }
}

Outcome run_program(Session& s) {
  Outcome outcome{0, ""};
  try {
    Active active("main");
    s.con.bright();
    news(s);
    for (;;) menu_pass(s);
  } catch (const ProgramEnd& end) {
    outcome.status = end.status;
  } catch (const FileError& error) {
    outcome.status = error.number % 256;
    outcome.stop_text = stop_message(error);
  } catch (const InputClosed&) {
    outcome.status = kInputClosedStatus;
  }
  s.con.restore();
  return outcome;
}

}  // namespace kelvaro
