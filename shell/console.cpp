// Line output shared by every screen.
#include "shell/console.hpp"

namespace kelvaro {

void write_line(Console& con, std::string_view text) {
  con.write(text);
  con.write("\r\n");
}

unsigned char upper_case(unsigned char key) {
  return key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key;
}

}  // namespace kelvaro
