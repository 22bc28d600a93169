// The program body: start-up, the news screen and the main menu, and how a run ends.
#pragma once

#include <string>

namespace kelvaro {

struct Session;

// The version text of the news and farewell screens; the program file declares the same.
inline constexpr const char* kVersion = "1.0.2.2";

// Exit status when input ends for good, as when the console is closed under the program.
inline constexpr int kInputClosedStatus = 1;

struct Outcome {
  int status;
  std::string stop_text;  // the stop message, for standard output, after a failed file operation
};

// Runs the program until the farewell, a stop, or the end of input; restores the console.
Outcome run_program(Session& s);

// One pass of the main menu: draws it, reads a key into CH and calls its procedure.
void menu_pass(Session& s);

}  // namespace kelvaro
