// Key presses as the two consoles report them, and the bytes that GETKEY returns for them.
#pragma once

#include <string>
#include <string_view>

namespace kelvaro {

// One key press, as the PC keyboard knows it.
struct KeyPress {
  unsigned char ch = 0;    // the character byte, 0 for a key without one
  unsigned char scan = 0;  // PC keyboard scan code: F1 59, N 49, Up 72
  bool alt = false;        // left Alt held
  bool ctrl = false;
  bool shift = false;
  bool enhanced = false;  // cursor and editing block, keypad Enter, keypad slash
};

// Appends GETKEY's bytes for a key: its character, or for a two-value key 0 and then its code.
void encode_key(const KeyPress& key, std::string& out);

// A console key event, with the fields and flag bits of the Windows console's key records.
struct ConsoleKeyRecord {
  bool down = true;
  unsigned short repeat = 1;
  unsigned short virtual_key = 0;
  unsigned short scan = 0;
  unsigned char ch = 0;  // the character in the program's code page
  unsigned long state = 0;
};

inline constexpr unsigned long kRightAlt = 0x0001;
inline constexpr unsigned long kLeftAlt = 0x0002;
inline constexpr unsigned long kRightCtrl = 0x0004;
inline constexpr unsigned long kLeftCtrl = 0x0008;
inline constexpr unsigned long kShift = 0x0010;
inline constexpr unsigned long kEnhanced = 0x0100;

// Turns the Windows console's key records into GETKEY's bytes: releases and lone modifier keys
// give nothing, and left Alt with keypad digits builds a character delivered when Alt is let go.
class ConsoleKeyDecoder {
 public:
  void feed(const ConsoleKeyRecord& record, std::string& out);

 private:
  bool composing_ = false;
  unsigned composed_ = 0;
};

// Turns the bytes that a terminal sends into GETKEY's bytes. Escape sequences of the function,
// cursor and editing keys (with their Shift, Ctrl and Alt forms) and ESC-prefixed Alt keys give
// the same codes as the Windows console.
class TerminalDecoder {
 public:
  void feed(std::string_view input, std::string& out);
  // True while an ESC or an unfinished sequence waits for more bytes.
  bool waiting() const { return !pending_.empty(); }
  // No more bytes came in time: what waits is taken as typed, a lone ESC as Escape.
  void flush(std::string& out);

 private:
  void settle(std::string& out);
  std::string pending_;
};

}  // namespace kelvaro
