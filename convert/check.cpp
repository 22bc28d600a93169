// The per-command rules of IFERROR: trimming, quotes, the drive's colon and the extension.
#include "convert/check.hpp"

#include "scripts/codepage.hpp"
#include "scripts/number.hpp"

namespace kelvaro {

namespace {

constexpr std::string_view kFullWidthColon = "：";

std::string_view trimmed(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

Fault quote_fault(std::string_view x) {
  if (x.find(' ') == std::string_view::npos) return Fault::none;
  if (x.find('"') == std::string_view::npos) return Fault::missing_quotes;
  if ((x.front() == '"') != (x.back() == '"')) return Fault::one_quote;
  return Fault::none;
}

}  // namespace

Checked check_command(std::string_view command) {
  Checked out;
  std::string x(trimmed(command));
  // The end of a line that was cut is unknown, so its quotes cannot be judged.
  if (command.size() > kMaxPathBytes) {
    out.fault = Fault::too_long;
  } else if (command.find('\0') != std::string_view::npos) {
    out.fault = Fault::bad_byte;
  } else {
    out.fault = quote_fault(x);
  }
  // Only a drive letter stands before the colon: a first byte that leads a two-byte character
  // would make these bytes the halves of two characters, not a colon.
  if (x.size() >= 3 && char_length(x, 0) == 1 && x.compare(1, 2, kFullWidthColon) == 0) {
    x.replace(1, 2, ":");
  }
  std::string_view closing;
  if (!x.empty() && x.back() == '"') {
    x.pop_back();
    closing = "\"";
  }
  bool has_extension = x.size() >= 4 && x[x.size() - 4] == '.';
  if (has_extension) x.resize(x.size() - 4);
  out.target = x + ".doc" + std::string(closing);
  out.source = x + (has_extension ? ".wps" : ".Wps") + std::string(closing);
  if (out.fault == Fault::none && out.source.size() > kMaxPathBytes) out.fault = Fault::too_long;
  return out;
}

std::string fault_message(Fault fault, long number) {
  std::string_view what;
  switch (fault) {
    case Fault::missing_quotes:
      what = "条命令错误，缺少引号";
      break;
    case Fault::one_quote:
      what = "条命令错误，引号只有1个";
      break;
    case Fault::too_long:
      what = "条命令错误，路径过长";
      break;
    case Fault::bad_byte:
      what = "条命令错误，含有无效字符";
      break;
    case Fault::none:
      return {};
  }
  return "第" + right_aligned(number, 6) + std::string(what);
}

}  // namespace kelvaro
