// Numbers as the program writes them: in decimal, right-aligned in a field of blanks.
#pragma once

#include <string>

namespace kelvaro {

// A number in decimal, with blanks on its left to `width` bytes; a longer one is never cut.
inline std::string right_aligned(long number, int width) {
  std::string digits = std::to_string(number);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), ' ');
  return digits;
}

}  // namespace kelvaro
