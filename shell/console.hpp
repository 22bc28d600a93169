// The console operations that every screen is built from, and the factory for the platform's
// console.
#pragma once

#include <memory>
#include <string_view>

namespace kelvaro {

// Thrown by get_key when input has ended for good: end of file, or the terminal is gone.
struct InputClosed {};

class Console {
 public:
  virtual ~Console() = default;
  // Code page 936 bytes at the cursor, in the program's colour. CR goes to column 1, LF one row
  // down, scrolling the window below its last row.
  virtual void write(std::string_view bytes) = 0;
  // The window's cells become blanks in the colour; the cursor goes to column 1, row 1.
  virtual void clear_screen() = 0;
  // Columns and rows count from 1 within the window; a position outside it is ignored.
  virtual void cursor_to(int column, int row) = 0;
  // Waits for a key press and returns its byte; a two-value key gives 0 and, on the next call,
  // its code. Throws InputClosed when no key can ever come.
  virtual unsigned char get_key() = 0;
  virtual void pause(int milliseconds) = 0;
  // Sets the high-intensity bit of the colour.
  virtual void bright() = 0;
  // Hands the terminal to a child process and takes it back when the child has ended.
  virtual void release() {}
  virtual void reacquire() {}
  // Puts the console back as the program found it; called on every way out.
  virtual void restore() {}
};

// A line of output: the text, then CR LF.
void write_line(Console& con, std::string_view text);

// A key upper-cased as the prompts compare it: only "a" to "z" change.
unsigned char upper_case(unsigned char key);

// Bytes to standard output itself, past the console operations, as they are.
void write_standard_output(std::string_view bytes);

// The console of the platform the program runs on.
std::unique_ptr<Console> open_system_console();

}  // namespace kelvaro
