// The Windows console behind open_system_console(), open to tests that bring their own handles.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "shell/console.hpp"
#include "shell/keys.hpp"

namespace kelvaro {

// Works on whatever the handles are: a console gets colours, positions and key records, a file or
// pipe gets the bytes as they are. The handles stay the caller's; they are not closed.
class Win32Console : public Console {
 public:
  // The handles are Windows HANDLEs; void* keeps <windows.h> out of this header.
  Win32Console(void* input, void* output);

  void write(std::string_view bytes) override;
  void clear_screen() override;
  void cursor_to(int column, int row) override;
  unsigned char get_key() override;
  void pause(int milliseconds) override;
  void bright() override;
  void restore() override;

 private:
  void read_console_keys();
  void read_redirected_keys();

  void* input_;
  void* output_;
  bool input_is_console_ = false;
  bool output_is_console_ = false;
  short left_ = 0;
  short top_ = 0;
  short right_ = 0;
  short bottom_ = 0;
  unsigned short console_attribute_ = 0;
  unsigned short colour_ = 0;
  unsigned original_code_page_ = 0;
  ConsoleKeyDecoder decoder_;
  std::string keys_;
  std::size_t next_key_ = 0;
};

}  // namespace kelvaro
