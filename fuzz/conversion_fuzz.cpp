// libFuzzer target: a command list's bytes through the reader, the check and Shift.bat's lines.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "convert/check.hpp"
#include "convert/reader.hpp"
#include "convert/shift.hpp"
#include "fuzz/require.hpp"
#include "scripts/interpreter.hpp"

namespace kelvaro {
namespace {

// The list's lines as its rules cut them, worked out apart from the reader so that the two can be
// held against each other: a line ends at CR LF, LF or a lone CR; the list ends at an empty line,
// a Ctrl-Z or the end of the file.
std::vector<std::string_view> list_lines(std::string_view data) {
  std::vector<std::string_view> lines;
  constexpr std::string_view kEnds("\r\n\x1A", 3);
  for (std::size_t pos = 0; pos < data.size();) {
    std::size_t end = data.find_first_of(kEnds, pos);
    if (end == std::string_view::npos) end = data.size();
    if (end == pos) break;
    lines.push_back(data.substr(pos, end - pos));
    if (end == data.size() || data[end] == '\x1A') break;
    pos = end + (data.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  return lines;
}

bool passed_over(std::string_view line) {
  return line.find(kHeaderMark) != std::string_view::npos ||
         line.find_first_not_of(' ') == std::string_view::npos;
}

// The path as the interpreter hands it to copy, del and if exist: without its double quotes.
// Byte 0x22 is never the trail byte of a two-byte character, so every one of them is a quote
// that the parser takes away; the carets and doubled "%" that script_word adds are taken away
// with them, which is what the comparison proves.
std::string as_seen(std::string_view path) {
  std::string seen;
  for (char c : path) {
    if (c != '"') seen += c;
  }
  return seen;
}

// Values with signs in them, so that an expansion that got through would show in the words.
const standin::Environment& environment() {
  static const standin::Environment env{
      {"userprofile", "/home/a b&c|d"}, {"HOME", "/home/x"}, {"a", "<&>"}, {"wps", "^|\""}};
  return env;
}

void check_line_is_plain(const standin::ParsedLine& p, const std::string& line) {
  require(line.find_first_of("\r\n") == std::string::npos, "a line end inside a line", line);
  require(p.operators.empty(), "a byte of a path became an operator", line);
  require(p.runnable(), "the line would not run", line);
  require(!p.quiet, "the line became quiet", line);
  require(p.commands.size() == 1, "not exactly one command", line);
}

void check_copy(const std::string& source, const std::string& target) {
  const std::string line = copy_line(source, target);
  standin::ParsedLine p = standin::parse_line(line, environment(), "Shift.bat");
  check_line_is_plain(p, line);
  const standin::Command& copy = p.commands.front();
  require(copy.verb == "Copy", "the verb is not Copy", line);
  require(copy.body.empty(), "copy guards commands", line);
  require(copy.args.size() == 2, "copy has not exactly two words", line);
  require(copy.args[0].text == as_seen(source), "copy reads another source", line);
  require(copy.args[1].text == as_seen(target), "copy writes another target", line);
}

void check_delete(const std::string& source, const std::string& target) {
  const std::string line = delete_line(source, target);
  standin::ParsedLine p = standin::parse_line(line, environment(), "Shift.bat");
  check_line_is_plain(p, line);
  const standin::Command& guard = p.commands.front();
  require(guard.verb == "if", "the line is not an if", line);
  require(guard.args.size() == 2 && guard.args[0].text == "exist", "the guard is not exist", line);
  require(guard.args[1].text == as_seen(target), "the guard looks at another target", line);
  require(guard.body.size() == 1, "the guard holds not exactly one command", line);
  const standin::Command& del = guard.body.front();
  require(del.verb == "del" && del.body.empty(), "the guarded command is not del", line);
  require(del.args.size() == 3 && del.args[0].text == "/f" && del.args[1].text == "/q",
          "del has other switches or words", line);
  require(del.args[2].text == as_seen(source), "del deletes another source", line);
}

// Reading is total: every byte sequence gives a list, and every loaded command keeps its promises.
void fuzz_list(std::string_view bytes) {
  std::size_t at = 0;
  int reads_past_end = 0;
  std::vector<std::string> commands = read_commands([&]() -> int {
    if (at == bytes.size()) {
      ++reads_past_end;
      return -1;
    }
    return static_cast<unsigned char>(bytes[at++]);
  });
  require(reads_past_end <= 1, "the reader read on past the end", bytes);

  std::vector<std::string_view> loaded;
  for (std::string_view line : list_lines(bytes)) {
    if (!passed_over(line)) loaded.push_back(line);
  }
  require(commands.size() == loaded.size(), "the reader loaded another count", bytes);
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const std::string_view line = loaded[i];
    require(commands[i] == line.substr(0, kKeptLineBytes), "a command is not its line's bytes",
            line);
    Checked checked = check_command(commands[i]);
    if (line.size() > kMaxPathBytes)
      require(checked.fault == Fault::too_long, "a long line passed", line);
    if (checked.fault != Fault::none) continue;
    require(checked.source.size() <= kMaxPathBytes && checked.target.size() <= kMaxPathBytes,
            "a path is longer than 255 bytes", line);
    check_copy(checked.source, checked.target);
    check_delete(checked.source, checked.target);
  }
}

}  // namespace
}  // namespace kelvaro

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kelvaro::fuzz_list(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
