// RUNSCRIPT on POSIX: the script runs in kelvaro-cmd, the stand-in interpreter beside the program.
#include <errno.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "scripts/runscript.hpp"
#include "shell/console.hpp"

extern char** environ;

namespace kelvaro {

namespace {

std::string interpreter_path() {
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "kelvaro-cmd";
  std::string path(self, static_cast<std::size_t>(n));
  return path.substr(0, path.find_last_of('/') + 1) + "kelvaro-cmd";
}

}  // namespace

void SystemScriptRunner::run(const std::string& name) {
  std::string program = interpreter_path();
  char* argv[] = {program.data(), const_cast<char*>(name.c_str()), nullptr};
  con_.release();
  pid_t child;
  if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) == 0) {
    int status;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  con_.reacquire();
}

}  // namespace kelvaro
