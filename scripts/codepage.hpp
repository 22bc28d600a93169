// Character boundaries in code page 936 text, as the command interpreter reads a script.
#pragma once

#include <cstddef>
#include <string_view>

namespace kelvaro {

// A lead byte 0x81 to 0xFE and a trail byte 0x40 to 0xFE (not 0x7F) make one character; its
// trail byte is never an ASCII sign of its own, whatever its value.
inline std::size_t char_length(std::string_view text, std::size_t at) {
  auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x81 || lead > 0xFE || at + 1 >= text.size()) return 1;
  auto trail = static_cast<unsigned char>(text[at + 1]);
  return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 1;
}

}  // namespace kelvaro
