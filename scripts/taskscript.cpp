// The fetch and push scripts, and the common way of writing and running a task script.
#include "scripts/taskscript.hpp"

#include "shell/session.hpp"

namespace kelvaro {

void run_task_script(Session& s, const char* name, std::initializer_list<std::string_view> lines) {
  s.F.create(name);
  for (std::string_view line : lines) s.F.line(line);
  s.F.close();
  s.runner.run(name);
}

void fetch_list(Session& s) {
  run_task_script(s, "Copy.bat", {"@echo off", kFetchLine, "del /f /q Copy.bat"});
}

// The working copy holds the user's edits: it goes only once the store holds a list.
void push_list(Session& s) {
  run_task_script(s, "Copy.bat",
                  {"@echo off",
                   "copy \"Command.txt\" "
                   "\"%userprofile%\\Application Data\\VantuC\\Kelvaro\\Command.txt\"",
                   "if exist \"%userprofile%\\Application Data\\VantuC\\Kelvaro\\Command.txt\" "
                   "del /f /q Command.txt",
                   "del /f /q Copy.bat"});
}

}  // namespace kelvaro
