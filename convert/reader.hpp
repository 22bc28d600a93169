// The command list's reader: turns the working copy's bytes into the commands to be checked.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvaro {

// A line keeps this many bytes: one more than a path may have, so that the check can tell a
// line that is too long from one that fits.
inline constexpr std::size_t kKeptLineBytes = 256;

// Marks a header line wherever it stands in the list.
inline constexpr std::string_view kHeaderMark = "Wps类型文件的完整路径";

// The commands in list order. `next_byte` gives the next byte, or -1 at the end of the file.
// Reading stops at the first empty line, the end of the file or a Ctrl-Z; header lines and lines
// of blanks alone are passed over.
std::vector<std::string> read_commands(const std::function<int()>& next_byte);

}  // namespace kelvaro
