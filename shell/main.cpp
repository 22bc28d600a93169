// The program's entry: the platform's console and interpreter around the program body.
#include "shell/program.hpp"
#include "shell/session.hpp"

int main() {
  auto console = kelvaro::open_system_console();
  kelvaro::SystemScriptRunner runner(*console);
  kelvaro::Session session(*console, runner);
  kelvaro::Outcome outcome = kelvaro::run_program(session);
  kelvaro::write_standard_output(outcome.stop_text);
  return outcome.status;
}
