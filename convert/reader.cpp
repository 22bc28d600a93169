// The command list's reader: line ends, the list's end, header lines and the kept bytes.
#include "convert/reader.hpp"

namespace kelvaro {

namespace {

constexpr int kEnd = -1;
constexpr int kCtrlZ = 0x1A;
constexpr int kNone = -2;

struct Line {
  std::string kept;
  std::size_t length = 0;
  bool header = false;
  bool blanks_only = true;
};

class LineReader {
 public:
  explicit LineReader(const std::function<int()>& next_byte) : next_byte_(next_byte) {}

  // False once the list has ended: an empty line, or nothing left before the file's end.
  bool next(Line& line) {
    line.kept.clear();
    line.length = 0;
    line.header = false;
    line.blanks_only = true;
    // The last bytes passed over, for a header mark that lies beyond the kept bytes.
    std::string tail;
    for (;;) {
      int byte = take();
      // Ctrl-Z ends the file wherever it stands, also in the part of a line passed over.
      if (byte == kEnd || byte == kCtrlZ) {
        ended_ = true;
        break;
      }
      if (byte == '\n') break;
      if (byte == '\r') {
        int after = take();
        if (after != '\n') pending_ = after;
        break;
      }
      ++line.length;
      if (byte != ' ') line.blanks_only = false;
      if (line.kept.size() < kKeptLineBytes) {
        line.kept.push_back(static_cast<char>(byte));
        if (line.kept.size() == kKeptLineBytes) {
          tail = line.kept.substr(kKeptLineBytes - (kHeaderMark.size() - 1));
        }
      } else if (!line.header) {
        tail.push_back(static_cast<char>(byte));
        line.header = tail == kHeaderMark;
        tail.erase(0, 1);
      }
    }
    if (line.kept.find(kHeaderMark) != std::string::npos) line.header = true;
    return line.length > 0;
  }

  bool ended() const { return ended_; }

 private:
  int take() {
    if (pending_ != kNone) {
      int byte = pending_;
      pending_ = kNone;
      return byte;
    }
    return next_byte_();
  }

  const std::function<int()>& next_byte_;
  int pending_ = kNone;
  bool ended_ = false;
};

}  // namespace

std::vector<std::string> read_commands(const std::function<int()>& next_byte) {
  std::vector<std::string> commands;
  LineReader reader(next_byte);
  Line line;
  while (!reader.ended() && reader.next(line)) {
    if (line.header || line.blanks_only) continue;
    commands.push_back(std::move(line.kept));
  }
  return commands;
}

}  // namespace kelvaro
