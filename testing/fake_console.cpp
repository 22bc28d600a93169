// A scripted console for dialogue tests: a queue of keys in, a grid of cells out.
#include "testing/fake_console.hpp"

namespace kelvaro {

FakeConsole::FakeConsole(int columns, int rows)
    : columns_(columns), rows_(rows), cells_(rows, std::string(columns, ' ')) {}

void FakeConsole::type(std::string_view keys) {
  keys_.insert(keys_.end(), keys.begin(), keys.end());
}

void FakeConsole::new_line() {
  if (row_ < rows_) {
    ++row_;
    return;
  }
  cells_.erase(cells_.begin());
  cells_.push_back(std::string(columns_, ' '));
}

// Bytes past the last column wrap to the next row, as a console does.
void FakeConsole::write(std::string_view bytes) {
  for (char c : bytes) {
    if (c == '\r') {
      column_ = 1;
    } else if (c == '\n') {
      new_line();
    } else {
      if (column_ > columns_) {
        column_ = 1;
        new_line();
      }
      cells_[row_ - 1][column_ - 1] = c;
      ++column_;
    }
  }
}

void FakeConsole::clear_screen() {
  ++clears;
  for (auto& row : cells_) row.assign(columns_, ' ');
  column_ = 1;
  row_ = 1;
}

void FakeConsole::cursor_to(int column, int row) {
  if (column < 1 || column > columns_ || row < 1 || row > rows_) return;
  column_ = column;
  row_ = row;
}

unsigned char FakeConsole::get_key() {
  prompts.push_back({screen(), column_, row_});
  if (keys_.empty()) throw InputClosed{};
  unsigned char key = keys_.front();
  keys_.pop_front();
  return key;
}

void FakeConsole::pause(int milliseconds) {
  pauses.push_back(milliseconds);
}

std::vector<std::string> FakeConsole::screen() const {
  std::vector<std::string> lines;
  for (const auto& row : cells_) lines.push_back(row.substr(0, row.find_last_not_of(' ') + 1));
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace kelvaro
