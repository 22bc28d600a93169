// The choice prompt that asks until one of its keys comes.
#pragma once

#include <initializer_list>
#include <string_view>

namespace kelvaro {

struct Session;

// Clears the screen, writes the rows, waits behind the question on row 1 at `column`, and reads
// a key into CH; any key outside `accepted` redraws the whole prompt.
void ask(Session& s, std::initializer_list<std::string_view> rows, int column,
         std::string_view accepted);

}  // namespace kelvaro
