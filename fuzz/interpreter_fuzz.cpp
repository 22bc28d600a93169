// libFuzzer target: one script line, and the value of its variables, through the stand-in's parser.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "convert/shift.hpp"
#include "fuzz/require.hpp"
#include "scripts/interpreter.hpp"

namespace kelvaro {
namespace {

bool same(const std::vector<standin::Command>& a, const std::vector<standin::Command>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].verb != b[i].verb || a[i].args != b[i].args || !same(a[i].body, b[i].body))
      return false;
  }
  return true;
}

bool same(const standin::ParsedLine& a, const standin::ParsedLine& b) {
  return a.expanded == b.expanded && a.quiet == b.quiet && a.operators == b.operators &&
         a.dangling_caret == b.dangling_caret && a.empty_command == b.empty_command &&
         same(a.commands, b.commands);
}

std::string without_quotes(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != '"') out += c;
  }
  return out;
}

std::string percents_doubled(std::string_view text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

// Any bytes, written with script_word as the one argument of a command, come back as that one
// word without their double quotes, and nothing in them acts: this is what Shift.bat relies on.
void check_round_trip(std::string_view text, const standin::Environment& env) {
  const std::string line = "Copy " + script_word(text);
  standin::ParsedLine p = standin::parse_line(line, env);
  require(p.operators.empty() && p.runnable(), "an escaped word acts", line);
  require(p.commands.size() == 1, "an escaped word split the command", line);
  const std::vector<standin::Word>& args = p.commands.front().args;
  if (text.empty()) {
    require(args.empty(), "nothing became a word", line);
    return;
  }
  require(args.size() == 1, "an escaped word split in two", line);
  require(args.front().text == without_quotes(text), "an escaped word reads otherwise", line);
}

void check_words(const std::vector<standin::Command>& commands, std::size_t& words,
                 const standin::Environment& env) {
  for (const standin::Command& c : commands) {
    ++words;
    check_round_trip(c.verb, env);
    for (const standin::Word& w : c.args) {
      ++words;
      // Only a pair of quotes makes a word of nothing.
      require(w.quoted || !w.text.empty(), "an empty unquoted word", w.text);
      check_round_trip(w.text, env);
    }
    check_words(c.body, words, env);
  }
}

void fuzz_line(std::string_view bytes) {
  // A script line never holds a line feed, so the first one marks where the variables' value
  // begins.
  std::size_t feed = bytes.find('\n');
  const std::string_view line = bytes.substr(0, feed);
  const std::string value(feed == std::string_view::npos ? "" : bytes.substr(feed + 1));
  const standin::Environment env{{"v", value}, {"userprofile", value}, {"PATH", "&|<>^\"%"}};

  standin::ParsedLine p = standin::parse_line(line, env, "Shift.bat");
  require(same(p, standin::parse_line(line, env, "Shift.bat")), "the parse is not repeatable",
          line);
  require(p.operators.find_first_not_of("&|<>") == std::string::npos, "an unknown operator", line);
  if (p.operators.find_first_of("|<>") != std::string::npos) {
    require(!p.runnable(), "a pipe or redirection would run", line);
  }
  if (p.dangling_caret || p.empty_command) require(!p.runnable(), "a broken line would run", line);
  if (line.find('%') == std::string_view::npos) {
    require(p.expanded == line, "a line without % changed in expansion", line);
  }
  require(standin::expand(percents_doubled(line), env, "Shift.bat") == line,
          "doubled percents did not come back as they were", line);

  std::size_t words = 0;
  check_words(p.commands, words, env);
  require(words <= p.expanded.size(), "more words than bytes", line);
  check_round_trip(line, env);
}

}  // namespace
}  // namespace kelvaro

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kelvaro::fuzz_line(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
