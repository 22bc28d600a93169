// Escaping for Shift.bat: the interpreter expands "%", acts on operators and splits words.
#include "convert/shift.hpp"

#include "scripts/codepage.hpp"

namespace kelvaro {

namespace {

// Brackets also end a command that an "if" guards.
constexpr std::string_view kOperators = "&|<>^()";
constexpr std::string_view kWordEnds = " \t,;=\v\f";

bool needs_caret(char c) {
  return kOperators.find(c) != std::string_view::npos ||
         kWordEnds.find(c) != std::string_view::npos;
}

bool needs_quotes(std::string_view path) {
  if (path.find('"') != std::string_view::npos) return false;
  for (std::size_t at = 0; at < path.size(); at += char_length(path, at)) {
    char c = path[at];
    if (char_length(path, at) == 1 && needs_caret(c)) return true;
  }
  return false;
}

}  // namespace

std::string script_word(std::string_view path) {
  if (needs_quotes(path)) {
    // Between quotes the interpreter takes every sign as it stands, and so does "if exist",
    // which carets do not reach; only "%" is still expanded.
    std::string out = "\"";
    for (char c : path) {
      if (c == '%') out += '%';
      out += c;
    }
    return out + '"';
  }
  std::string out;
  out.reserve(path.size() + 8);
  bool quoted = false;
  bool after_lone_lead = false;
  for (std::size_t at = 0; at < path.size();) {
    std::size_t length = char_length(path, at);
    char c = path[at];
    bool escaped = length == 1 && !quoted && needs_caret(c);
    if (escaped && after_lone_lead) {
      // A caret is a trail byte: behind a lone lead byte the two would read as one character
      // and the sign would act. Quotes are no trail bytes.
      out += '"';
      out += c;
      out += '"';
    } else {
      if (length == 1 && c == '%') out += '%';
      if (length == 1 && c == '"') quoted = !quoted;
      if (escaped) out += '^';
      out.append(path.data() + at, length);
    }
    auto byte = static_cast<unsigned char>(c);
    after_lone_lead = length == 1 && byte >= 0x81 && byte <= 0xFE;
    at += length;
  }
  // Left open, the quote would carry the separator and the next path into this word.
  if (quoted) out += '"';
  return out;
}

std::string copy_line(std::string_view source, std::string_view target) {
  return "Copy " + script_word(source) + " " + script_word(target);
}

std::string delete_line(std::string_view source, std::string_view target) {
  return "if exist " + script_word(target) + " del /f /q " + script_word(source);
}

}  // namespace kelvaro
