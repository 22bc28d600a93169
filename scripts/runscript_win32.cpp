// RUNSCRIPT on Windows: the system starts the script's interpreter in the program's own console.
#include <windows.h>

#include <string>
#include <vector>

#include "scripts/runscript.hpp"
#include "shell/console.hpp"

namespace kelvaro {

void SystemScriptRunner::run(const std::string& name) {
  // CreateProcessA may write into the command line, so it gets a copy it owns.
  std::string command = script_command_line(name);
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  con_.release();
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                     nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  con_.reacquire();
}

}  // namespace kelvaro
