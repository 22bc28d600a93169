// The stop message, its error numbers and the trace of the procedures active at a failure.
#include "scripts/stop.hpp"

#include <cstdio>
#include <string_view>

namespace kelvaro {

namespace {

std::vector<std::string>& active() {
  static std::vector<std::string> names;
  return names;
}

// A stable number for a place in the source: the same call site always gives the same digits.
std::uint32_t place_of(const std::source_location& where) {
  std::uint32_t hash = 2166136261u;
  std::string_view file = where.file_name();
  if (auto slash = file.find_last_of("/\\"); slash != std::string_view::npos) {
    file.remove_prefix(slash + 1);
  }
  for (char c : file) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return (hash & 0xFFFF0000u) | (where.line() & 0xFFFFu);
}

}  // namespace

Active::Active(const char* name) {
  active().push_back(name);
}
Active::~Active() {
  active().pop_back();
}

int error_number(int platform_code) {
  if (platform_code == kShortWrite) return 101;
  if (platform_code >= 19 && platform_code <= 31) return platform_code + 131;
  if (platform_code == 32 || platform_code == 145 || platform_code == 183) return 5;
  return platform_code;
}

void fail(int platform_code, std::source_location where) {
  const auto& names = active();
  throw FileError{error_number(platform_code), place_of(where),
                  std::vector<std::string>(names.rbegin(), names.rend())};
}

std::string stop_message(const FileError& error) {
  char head[64];
  std::snprintf(head, sizeof head, "Runtime error %d at $%08X\r\n", error.number,
                static_cast<unsigned>(error.place));
  std::string text = head;
  for (const auto& name : error.trace) text += "  " + name + "\r\n";
  text += "\r\n";
  return text;
}

}  // namespace kelvaro
