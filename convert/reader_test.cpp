// The command list reader's rules, as bytes of a list and the commands they give.
#include "convert/reader.hpp"

#include <gtest/gtest.h>

namespace kelvaro {
namespace {

std::vector<std::string> read(const std::string& bytes) {
  std::size_t at = 0;
  int calls_after_end = 0;
  auto commands = read_commands([&]() -> int {
    if (at == bytes.size()) {
      ++calls_after_end;
      return -1;
    }
    return static_cast<unsigned char>(bytes[at++]);
  });
  EXPECT_LE(calls_after_end, 1) << "read on past the end of the file";
  return commands;
}

using Commands = std::vector<std::string>;

const std::string kHeader =
    "请把要转化的Wps类型文件的完整路径输入到该文本文档中，一行输入一个文件！";

struct Case {
  const char* name;
  std::string bytes;
  Commands commands;
};

TEST(Reader, ListsAsBytesGiveTheirCommands) {
  const std::string x255(255, 'x');
  const std::string x256(256, 'x');
  const std::string z = "\x1A";
  const Case cases[] = {
      {"CR LF", "a\r\nb\r\n", {"a", "b"}},
      {"LF", "a\nb\n", {"a", "b"}},
      {"CR", "a\rb\r", {"a", "b"}},
      {"mixed line ends", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"no line end at the end", "a\r\nb", {"a", "b"}},
      {"LF CR is two line ends", "a\n\rb\r\n", {"a"}},
      {"CR CR is two line ends", "a\r\rb", {"a"}},
      {"empty line ends the list", "a\r\n\r\nb\r\n", {"a"}},
      {"empty first line", "\r\nabc\r\n", {}},
      {"empty first line as a lone LF", "\nabc", {}},
      {"empty file", "", {}},
      {"Ctrl-Z ends the list mid-line", "ab" + z + "cd\r\ne\r\n", {"ab"}},
      {"Ctrl-Z first", z + "abc\r\n", {}},
      {"Ctrl-Z after a CR", "a\r" + z + "b", {"a"}},
      {"header first", kHeader + "\r\nc:\\柯萝\r\n", {"c:\\柯萝"}},
      {"header mid-list", "x\r\n" + kHeader + "\r\ny\r\n", {"x", "y"}},
      {"header alone", kHeader + "\r\n", {}},
      {"header mark anywhere", "ab Wps类型文件的完整路径 cd\r\ny", {"y"}},
      {"header mark is case-exact", "wps类型文件的完整路径\r\n", {"wps类型文件的完整路径"}},
      {"blank-only line passed over", "   \r\nabc\r\n", {"abc"}},
      {"tab is no blank", "\t\r\nabc", {"\t", "abc"}},
      {"blanks around text kept", "  a b  \r\n", {"  a b  "}},
      {"NUL kept", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
      {"255-byte line whole", x255 + "\r\nnext", {x255, "next"}},
      {"300-byte line flagged by its 256th byte",
       std::string(300, 'x') + "\r\nnext",
       {x256, "next"}},
      {"1 MiB line", std::string(1 << 20, 'x') + "\nnext", {x256, "next"}},
      {"Ctrl-Z in the passed-over part", std::string(280, 'x') + z + "\r\nnext", {x256}},
      {"header mark past the kept bytes",
       std::string(400, 'x') + "Wps类型文件的完整路径\r\nn",
       {"n"}},
      {"header mark across the kept bytes' end",
       std::string(250, 'x') + "Wps类型文件的完整路径\r\nn",
       {"n"}},
      {"long blank-only line passed over", std::string(300, ' ') + "\r\nn", {"n"}},
      {"long line of blanks and text",
       std::string(300, ' ') + "a\r\nn",
       {std::string(256, ' '), "n"}},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.bytes), c.commands) << c.name;
}

TEST(Reader, TakesAnyNumberOfCommands) {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += "C:\\" + std::to_string(i) + ".wps\r\n";
  auto commands = read(bytes);
  ASSERT_EQ(commands.size(), 100000u);
  EXPECT_EQ(commands[100], "C:\\100.wps");
  EXPECT_EQ(commands.back(), "C:\\99999.wps");
}

}  // namespace
}  // namespace kelvaro
