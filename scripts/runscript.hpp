// RUNSCRIPT: runs a task script from the working directory through the command interpreter.
#pragma once

#include <string>

namespace kelvaro {

class Console;

class ScriptRunner {
 public:
  virtual ~ScriptRunner() = default;
  // Runs the named script and returns when it has ended. Neither its exit code nor a failure to
  // start it is reported.
  virtual void run(const std::string& name) = 0;
};

// The command line handed to process creation: the quoted name and two blanks.
std::string script_command_line(const std::string& name);

// Runs scripts with the platform's interpreter: cmd.exe on Windows, kelvaro-cmd on POSIX.
class SystemScriptRunner : public ScriptRunner {
 public:
  explicit SystemScriptRunner(Console& con) : con_(con) {}
  void run(const std::string& name) override;

 private:
  Console& con_;
};

}  // namespace kelvaro
