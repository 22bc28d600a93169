// The Windows console: the program's colour and code page for its own output, key records as keys.
#include "shell/console_win32.hpp"

#include <windows.h>

#include <memory>
#include <string>
#include <system_error>

namespace kelvaro {

namespace {

HANDLE as_handle(void* handle) {
  return static_cast<HANDLE>(handle);
}

[[noreturn]] void os_error(const char* call, const std::string& argument, DWORD code) {
  throw std::system_error(
      static_cast<int>(code), std::system_category(),
      std::string(call) + "(" + argument + ") failed with error " + std::to_string(code));
}

HANDLE open_device(const char* device) {
  return CreateFileA(device, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, 0, nullptr);
}

void write_to_file(HANDLE out, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written == 0) {
      return;
    }
    bytes.remove_prefix(written);
  }
}

// The texts are in the ANSI code page, which the console's own code page need not be.
void write_to_console(HANDLE out, std::string_view bytes) {
  UINT code_page = GetConsoleOutputCP();
  SetConsoleOutputCP(GetACP());
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteConsoleA(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written == 0) {
      break;
    }
    bytes.remove_prefix(written);
  }
  SetConsoleOutputCP(code_page);
}

// A program started without standard handles still gets a console to show its screens on.
HANDLE standard_or_console(DWORD which, const char* device) {
  HANDLE handle = GetStdHandle(which);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) return handle;
  handle = open_device(device);
  if (handle != INVALID_HANDLE_VALUE) return handle;
  if (!AllocConsole()) os_error("AllocConsole", "", GetLastError());
  handle = open_device(device);
  if (handle == INVALID_HANDLE_VALUE) {
    os_error("CreateFileA", std::string("\"") + device + "\"", GetLastError());
  }
  return handle;
}

}  // namespace

Win32Console::Win32Console(void* input, void* output) : input_(input), output_(output) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  output_is_console_ = GetConsoleScreenBufferInfo(as_handle(output_), &info) != 0;
  if (output_is_console_) {
    left_ = info.srWindow.Left;
    top_ = info.srWindow.Top;
    right_ = info.srWindow.Right;
    bottom_ = info.srWindow.Bottom;
    console_attribute_ = info.wAttributes;
    colour_ = info.wAttributes;
    original_code_page_ = GetConsoleOutputCP();
  }
  DWORD mode = 0;
  input_is_console_ = GetConsoleMode(as_handle(input_), &mode) != 0;
}

void Win32Console::write(std::string_view bytes) {
  HANDLE out = as_handle(output_);
  if (!output_is_console_) {
    write_to_file(out, bytes);
    return;
  }
  // The colour is the program's only, so that a child script's text keeps the console's.
  SetConsoleTextAttribute(out, colour_);
  write_to_console(out, bytes);
  SetConsoleTextAttribute(out, console_attribute_);
}

void Win32Console::clear_screen() {
  if (!output_is_console_) return;
  HANDLE out = as_handle(output_);
  // Only the window: lines scrolled above it in the buffer stay readable.
  DWORD width = static_cast<DWORD>(right_ - left_ + 1);
  for (short row = top_; row <= bottom_; ++row) {
    DWORD done = 0;
    FillConsoleOutputCharacterA(out, ' ', width, COORD{left_, row}, &done);
    FillConsoleOutputAttribute(out, colour_, width, COORD{left_, row}, &done);
  }
  SetConsoleCursorPosition(out, COORD{left_, top_});
}

void Win32Console::cursor_to(int column, int row) {
  if (!output_is_console_) return;
  if (column < 1 || row < 1 || column > right_ - left_ + 1 || row > bottom_ - top_ + 1) return;
  SetConsoleCursorPosition(as_handle(output_), COORD{static_cast<SHORT>(left_ + column - 1),
                                                     static_cast<SHORT>(top_ + row - 1)});
}

unsigned char Win32Console::get_key() {
  while (next_key_ == keys_.size()) {
    keys_.clear();
    next_key_ = 0;
    if (input_is_console_) {
      read_console_keys();
    } else {
      read_redirected_keys();
    }
  }
  return static_cast<unsigned char>(keys_[next_key_++]);
}

void Win32Console::read_console_keys() {
  HANDLE in = as_handle(input_);
  if (WaitForSingleObject(in, INFINITE) != WAIT_OBJECT_0) throw InputClosed{};
  INPUT_RECORD records[64];
  DWORD count = 0;
  // A signalled handle with nothing to read means the console is no longer there.
  if (!ReadConsoleInputA(in, records, 64, &count) || count == 0) throw InputClosed{};
  for (DWORD i = 0; i < count; ++i) {
    if (records[i].EventType != KEY_EVENT) continue;
    const KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
    decoder_.feed(
        ConsoleKeyRecord{key.bKeyDown != FALSE, key.wRepeatCount, key.wVirtualKeyCode,
                         key.wVirtualScanCode, static_cast<unsigned char>(key.uChar.AsciiChar),
                         key.dwControlKeyState},
        keys_);
  }
}

void Win32Console::read_redirected_keys() {
  // One byte at a time: what a prompt does not take is left for the scripts it starts.
  char byte = 0;
  DWORD got = 0;
  if (!ReadFile(as_handle(input_), &byte, 1, &got, nullptr) || got == 0) throw InputClosed{};
  keys_.push_back(byte);
}

void Win32Console::pause(int milliseconds) {
  if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}

void Win32Console::bright() {
  colour_ |= FOREGROUND_INTENSITY;
}

void Win32Console::restore() {
  if (!output_is_console_) return;
  SetConsoleTextAttribute(as_handle(output_), console_attribute_);
  SetConsoleOutputCP(original_code_page_);
}

void write_standard_output(std::string_view bytes) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    write_to_console(out, bytes);
  } else {
    write_to_file(out, bytes);
  }
}

std::unique_ptr<Console> open_system_console() {
  HANDLE input = standard_or_console(STD_INPUT_HANDLE, "CONIN$");
  HANDLE output = standard_or_console(STD_OUTPUT_HANDLE, "CONOUT$");
  return std::make_unique<Win32Console>(input, output);
}

}  // namespace kelvaro
