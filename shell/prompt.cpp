// The choice prompt that asks until one of its keys comes.
#include "shell/prompt.hpp"

#include "shell/session.hpp"

namespace kelvaro {

void ask(Session& s, std::initializer_list<std::string_view> rows, int column,
         std::string_view accepted) {
  do {
    s.con.clear_screen();
    for (std::string_view row : rows) write_line(s.con, row);
    s.con.cursor_to(column, 1);
    s.CH = s.con.get_key();
  } while (accepted.find(static_cast<char>(s.CH)) == std::string_view::npos);
}

}  // namespace kelvaro
