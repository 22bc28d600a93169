// The program's entry: the platform's console and interpreter around the program body.
#include <cstdio>
#include <system_error>

#include "shell/program.hpp"
#include "shell/session.hpp"

int main() {
  std::unique_ptr<kelvaro::Console> console;
  try {
    console = kelvaro::open_system_console();
  } catch (const std::system_error& error) {
    std::fprintf(stderr, "kelvaro: %s\n", error.what());
    return 1;
  }
  kelvaro::SystemScriptRunner runner(*console);
  kelvaro::Session session(*console, runner);
  kelvaro::Outcome outcome = kelvaro::run_program(session);
  kelvaro::write_standard_output(outcome.stop_text);
  return outcome.status;
}
