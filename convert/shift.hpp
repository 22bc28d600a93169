// The lines of Shift.bat, written so that the interpreter reads each path as the file it names.
#pragma once

#include <string>
#include <string_view>

namespace kelvaro {

// A path as one word of a script line that ends outside double quotes, so that no byte of it is
// taken as an operator, an expansion or the start of another word or command. "%" is doubled.
// A path without double quotes that holds a sign (& | < > ^ ( ) or a byte that ends a word:
// blank, tab, "," ";" "=", vertical tab, form feed) is put between double quotes whole.
// Otherwise each such sign outside double quotes gets a "^" before it, or, right behind a lone
// lead byte that a caret would complete as a character, is put between double quotes; a double
// quote that the path leaves open is closed behind it. A two-byte character's trail byte is
// never escaped nor taken as a quote.
std::string script_word(std::string_view path);

// "Copy SOURCE TARGET".
std::string copy_line(std::string_view source, std::string_view target);

// "if exist TARGET del /f /q SOURCE": a source goes only once its copy is there.
std::string delete_line(std::string_view source, std::string_view target);

}  // namespace kelvaro
