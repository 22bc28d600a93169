// The variables that the program's procedures share, and the console and script runner they use.
#pragma once

#include <string>
#include <vector>

#include "scripts/runscript.hpp"
#include "scripts/textfile.hpp"
#include "shell/console.hpp"

namespace kelvaro {

struct Session {
  Session(Console& console, ScriptRunner& script_runner) : con(console), runner(script_runner) {}

  Console& con;
  ScriptRunner& runner;

  unsigned char CH = 0;            // the key last read by a prompt that keeps its key
  TextFile F;                      // the one text file; opened, used and closed before the next
  int L = 0;                       // the number of loaded commands
  std::vector<std::string> LONGS;  // the commands as loaded, later their source paths
  std::vector<std::string> FORDC;  // the commands' target paths
};

}  // namespace kelvaro
