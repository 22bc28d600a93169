// The stop on a failed file operation, the trace of active procedures, and the program's ends.
#pragma once

#include <cstdint>
#include <source_location>
#include <string>
#include <vector>

namespace kelvaro {

// Raised by the first failed file operation; nothing catches it but the program body.
struct FileError {
  int number;                      // the error number of the stop message
  std::uint32_t place;             // identifies the failing call in the program
  std::vector<std::string> trace;  // the active procedures, innermost first
};

// Raised by the farewell to end the run with its exit status.
struct ProgramEnd {
  int status;
};

// Marks a procedure as active for the trace of a stop.
class Active {
 public:
  explicit Active(const char* name);
  ~Active();
  Active(const Active&) = delete;
  Active& operator=(const Active&) = delete;
};

// The stop's error number for a platform error code (Windows numbering).
int error_number(int platform_code);

// Code that the platform layer reports for a write that failed or stored fewer bytes.
inline constexpr int kShortWrite = -1;

[[noreturn]] void fail(int platform_code,
                       std::source_location where = std::source_location::current());

// "Runtime error N at $XXXXXXXX", the trace and an empty line, each ending with CR LF.
std::string stop_message(const FileError& error);

}  // namespace kelvaro
