// Shift.bat's lines and their escaping, also as a model of the interpreter reads them back.
#include "convert/shift.hpp"

#include <gtest/gtest.h>

#include <random>

#include "scripts/codepage.hpp"

namespace kelvaro {
namespace {

TEST(Shift, WorkedLinesAreWrittenAsTheyStand) {
  EXPECT_EQ(copy_line("c:\\柯萝.Wps", "c:\\柯萝.doc"), "Copy c:\\柯萝.Wps c:\\柯萝.doc");
  EXPECT_EQ(copy_line("\"F:\\a a.wps\"", "\"F:\\a a.doc\""),
            "Copy \"F:\\a a.wps\" \"F:\\a a.doc\"");
  EXPECT_EQ(delete_line("c:\\柯萝.Wps", "c:\\柯萝.doc"),
            "if exist c:\\柯萝.doc del /f /q c:\\柯萝.Wps");
  EXPECT_EQ(delete_line("\"F:\\a a.wps\"", "\"F:\\a a.doc\""),
            "if exist \"F:\\a a.doc\" del /f /q \"F:\\a a.wps\"");
}

TEST(Shift, EscapesWhatTheInterpreterWouldActOn) {
  const std::string trail_backslash = "誠";  // D5 5C
  const std::string trail_bar = "諀";        // D5 7C
  const std::string trail_caret = "乛";      // 81 5E
  ASSERT_EQ(trail_backslash, "\xD5\x5C");
  ASSERT_EQ(trail_bar, "\xD5\x7C");
  ASSERT_EQ(trail_caret, "\x81\x5E");
  struct Case {
    std::string path;
    std::string word;
  };
  const Case cases[] = {
      // A path without quotes that holds a sign stands between quotes, where only "%" acts.
      {"D:\\Tom&Jerry.wps", "\"D:\\Tom&Jerry.wps\""},
      {"a|b<c>d^e", "\"a|b<c>d^e\""},
      {"C:\\(1)%.wps", "\"C:\\(1)%%.wps\""},
      {"100%.wps", "100%%.wps"},
      {"%userprofile%", "%%userprofile%%"},
      {"\"C:\\T&J %x% |^.wps\"", "\"C:\\T&J %%x%% |^.wps\""},
      {"C:\\\"a&b\"&c", "C:\\\"a&b\"^&c"},
      {"\"C:\\T&J.wps", "\"C:\\T&J.wps\""},
      {"C:\\\"my\" file.wps", "C:\\\"my\"^ file.wps"},
      {"C:\\my\tfile.wps", "\"C:\\my\tfile.wps\""},
      {"a,b;c=d\v\f", "\"a,b;c=d\v\f\""},
      // With quotes of its own, a path gets carets outside them instead.
      {"C:\\\"a\"(b)\t", "C:\\\"a\"^(b^)^\t"},
      {"C:\\" + trail_backslash + trail_bar + trail_caret + ".wps",
       "C:\\" + trail_backslash + trail_bar + trail_caret + ".wps"},
      {"\xD5&\x81\x7F|\x81 ", "\"\xD5&\x81\x7F|\x81 \""},
      {"\"x\"\xD5&\x81\x7F|\x81 ", "\"x\"\xD5\"&\"\x81\x7F^|\x81\" \""},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(script_word(c.path), c.word) << c.path;
  EXPECT_EQ(copy_line("\"C:\\a.wps", "\"C:\\a.doc"), "Copy \"C:\\a.wps\" \"C:\\a.doc\"");
  EXPECT_EQ(delete_line("D:\\T&J.wps", "D:\\T&J.doc"),
            "if exist \"D:\\T&J.doc\" del /f /q \"D:\\T&J.wps\"");
}

// How the interpreter reads a script line: %% is %, outside double quotes "^" takes the next
// character as it is and the other signs act; quotes are removed; words end at unescaped blanks.
struct Reading {
  std::vector<std::string> words;
  std::string operators;
};

Reading read_back(std::string_view line) {
  Reading out;
  std::string word;
  bool in_word = false;
  bool quoted = false;
  for (std::size_t at = 0; at < line.size();) {
    std::size_t length = char_length(line, at);
    char c = line[at];
    if (length == 2) {
      word.append(line.substr(at, 2));
      in_word = true;
    } else if (c == '%') {
      EXPECT_LT(at + 1, line.size());
      EXPECT_EQ(line[at + 1], '%') << "a lone % would expand: " << line;
      word += '%';
      in_word = true;
      length = 2;
    } else if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if (!quoted && c == '^') {
      EXPECT_LT(at + 1, line.size()) << line;
      length = 1 + char_length(line, at + 1);
      word.append(line.substr(at + 1, length - 1));
      in_word = true;
    } else if (!quoted && std::string_view("&|<>").find(c) != std::string_view::npos) {
      out.operators += c;
    } else if (!quoted && std::string_view(" \t,;=\v\f").find(c) != std::string_view::npos) {
      if (in_word) out.words.push_back(word);
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
    at += length;
  }
  if (in_word) out.words.push_back(word);
  return out;
}

std::string unquoted(std::string path) {
  std::erase(path, '"');
  return path;
}

TEST(Shift, EveryPathIsReadBackAsOneWordAndNothingActs) {
  std::vector<std::string> pieces = {"\x81", "誠", "諀", "乛", "柯", "："};
  for (char sign : std::string_view("a\\\" \t&|<>^%,;=.()!\xFF")) pieces.emplace_back(1, sign);
  pieces.emplace_back(1, '\0');
  std::mt19937 random(20110701);
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(1, 24);
  for (int round = 0; round < 5000; ++round) {
    std::string source;
    std::string target;
    for (int n = length(random); n > 0; --n) source += pieces[piece(random)];
    for (int n = length(random); n > 0; --n) target += pieces[piece(random)];
    // A lone lead byte at a path's end would join the blank behind it in no interpreter.
    source += ".wps";
    target += ".doc";
    Reading copy = read_back(copy_line(source, target));
    EXPECT_EQ(copy.operators, "") << source;
    EXPECT_EQ(copy.words, (std::vector<std::string>{"Copy", unquoted(source), unquoted(target)}))
        << source << " -> " << target;
    Reading del = read_back(delete_line(source, target));
    EXPECT_EQ(del.operators, "") << source;
    EXPECT_EQ(del.words, (std::vector<std::string>{"if", "exist", unquoted(target), "del", "/f",
                                                   "/q", unquoted(source)}))
        << source << " -> " << target;
  }
}

}  // namespace
}  // namespace kelvaro
