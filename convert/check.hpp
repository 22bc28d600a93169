// The rules by which IFERROR judges one command and turns it into a source and a target path.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvaro {

// No path, and no line of the list, may be longer: a longer one could only be cut, and a cut
// path may name another file.
inline constexpr std::size_t kMaxPathBytes = 255;

// bad_byte: a NUL, which the interpreter and the file calls take as the end of a line or name,
// so that what stood in front of it would be copied or deleted instead.
enum class Fault { none, missing_quotes, one_quote, too_long, bad_byte };

struct Checked {
  std::string source;
  std::string target;
  Fault fault = Fault::none;
};

// A command yields its paths whether or not it is faulty, and at most one fault: the first found.
Checked check_command(std::string_view command);

// The report's row for a faulty command, numbered from 1 among the loaded commands.
std::string fault_message(Fault fault, long number);

}  // namespace kelvaro
