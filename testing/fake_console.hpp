// A scripted console for dialogue tests: a queue of keys in, a grid of cells out.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "shell/console.hpp"

namespace kelvaro {

class FakeConsole : public Console {
 public:
  explicit FakeConsole(int columns = 80, int rows = 25);

  // Queues keys, byte by byte; a two-value key is its two bytes, e.g. std::string("\0" "1", 2).
  void type(std::string_view keys);

  void write(std::string_view bytes) override;
  void clear_screen() override;
  void cursor_to(int column, int row) override;
  // Takes the next queued key; with none left, input has ended (InputClosed).
  unsigned char get_key() override;
  void pause(int milliseconds) override;
  void bright() override { ++brights; }
  void release() override { ++releases; }
  void reacquire() override { ++reacquires; }
  void restore() override { ++restores; }

  // The window's rows as text, blanks at their ends trimmed; trailing empty rows dropped.
  std::vector<std::string> screen() const;
  int column() const { return column_; }
  int row() const { return row_; }
  // Every screen that a get_key call waited on, as screen() showed it, with the cursor.
  struct Prompt {
    std::vector<std::string> screen;
    int column;
    int row;
  };
  std::vector<Prompt> prompts;
  std::vector<int> pauses;
  int clears = 0;
  int brights = 0;
  int releases = 0;
  int reacquires = 0;
  int restores = 0;
  std::size_t keys_left() const { return keys_.size(); }

 private:
  void new_line();

  int columns_;
  int rows_;
  int column_ = 1;
  int row_ = 1;
  std::vector<std::string> cells_;
  std::deque<unsigned char> keys_;
};

}  // namespace kelvaro
