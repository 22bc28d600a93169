// The check of one command: the worked list, the edges of its rules, and the fault messages.
#include "convert/check.hpp"

#include <gtest/gtest.h>

#include "scripts/number.hpp"

namespace kelvaro {
namespace {

struct Row {
  std::string command;
  std::string message;  // as the report shows it for this row's number; empty when none
  std::string source;
  std::string target;
};

void expect_rows(const std::vector<Row>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    Checked checked = check_command(row.command);
    long number = static_cast<long>(i + 1);
    EXPECT_EQ(fault_message(checked.fault, number), row.message) << "row " << number;
    EXPECT_EQ(checked.source, row.source) << "row " << number;
    EXPECT_EQ(checked.target, row.target) << "row " << number;
  }
}

TEST(Check, WorkedList) {
  expect_rows({
      {"c:\\柯萝", "", "c:\\柯萝.Wps", "c:\\柯萝.doc"},
      {"E:\\计划\\2011年\\7月计划.Wps", "", "E:\\计划\\2011年\\7月计划.wps",
       "E:\\计划\\2011年\\7月计划.doc"},
      {"\"d：\\Social I\\Pronunciation\\What's More.Wps\"", "",
       "\"d：\\Social I\\Pronunciation\\What's More.wps\"",
       "\"d：\\Social I\\Pronunciation\\What's More.doc\""},
      {"\"F:\\a a.wps\"", "", "\"F:\\a a.wps\"", "\"F:\\a a.doc\""},
      {"\"G：\\o k\"", "", "\"G：\\o k.Wps\"", "\"G：\\o k.doc\""},
      {"D：\\文档\\报告.wps", "", "D:\\文档\\报告.wps", "D:\\文档\\报告.doc"},
      {"   C:\\a.wps   ", "", "C:\\a.wps", "C:\\a.doc"},
      {"C:\\my file.wps", "第     8条命令错误，缺少引号", "C:\\my file.wps", "C:\\my file.doc"},
      {"\"C:\\my file.wps", "第     9条命令错误，引号只有1个", "\"C:\\my file.wps",
       "\"C:\\my file.doc"},
      {"C:\\my file.wps\"", "第    10条命令错误，引号只有1个", "C:\\my file.wps\"",
       "C:\\my file.doc\""},
      {"C:\\\"my\" file.wps", "", "C:\\\"my\" file.wps", "C:\\\"my\" file.doc"},
      {"\"C:\\a.wps", "", "\"C:\\a.wps", "\"C:\\a.doc"},
      {"C:\\a.txt", "", "C:\\a.wps", "C:\\a.doc"},
      {"C:\\a.docx", "", "C:\\a.docx.Wps", "C:\\a.docx.doc"},
      {"C:\\a.b\\c", "", "C:\\a.wps", "C:\\a.doc"},
      {"abc", "", "abc.Wps", "abc.doc"},
      {"\"C:\\x y.docx\"", "", "\"C:\\x y.docx.Wps\"", "\"C:\\x y.docx.doc\""},
  });
}

TEST(Check, EdgesOfTheRules) {
  const std::string lead_then_colon_bytes = "埃汉.wps";  // B0 A3, BA BA: A3 BA is no colon here
  ASSERT_EQ(lead_then_colon_bytes.substr(0, 4), "\xB0\xA3\xBA\xBA");
  expect_rows({
      {"C:\\my\tfile.wps", "", "C:\\my\tfile.wps", "C:\\my\tfile.doc"},
      {"\tC:\\a.wps\t", "", "\tC:\\a.wps\t.Wps", "\tC:\\a.wps\t.doc"},
      {"a.b", "", "a.b.Wps", "a.b.doc"},
      {".xyz", "", ".wps", ".doc"},
      {"abcd", "", "abcd.Wps", "abcd.doc"},
      {"C：\\a：b.wps", "", "C:\\a：b.wps", "C:\\a：b.doc"},
      {lead_then_colon_bytes, "", lead_then_colon_bytes, "埃汉.doc"},
      {"\"C：\\a b\"", "", "\"C：\\a b.Wps\"", "\"C：\\a b.doc\""},
      {"C:\\\"x\" y \"z\".wps", "", "C:\\\"x\" y \"z\".wps", "C:\\\"x\" y \"z\".doc"},
  });
}

TEST(Check, PathsLongerThan255BytesAreFaulty) {
  const std::string too_long = "第     1条命令错误，路径过长";
  struct Long {
    std::string command;
    Fault fault;
  };
  const Long cases[] = {
      {"C:\\" + std::string(248, 'a'), Fault::none},      // path of 255 bytes
      {"C:\\" + std::string(249, 'a'), Fault::too_long},  // path of 256 bytes
      {"C:\\" + std::string(248, 'a') + ".wps", Fault::none},
      {"\"C:\\" + std::string(246, 'a') + "\"", Fault::none},
      {"\"C:\\" + std::string(247, 'a') + "\"", Fault::too_long},
      {std::string(255, 'a'), Fault::too_long},
      {std::string(251, 'a') + ".wps", Fault::none},
      // A cut line: its quotes are not judged, only its length.
      {"\"C:\\a b" + std::string(250, 'a'), Fault::too_long},
      // The first fault found is the one reported.
      {"C:\\a b" + std::string(249, 'a'), Fault::missing_quotes},
  };
  for (const auto& c : cases) {
    Checked checked = check_command(c.command);
    EXPECT_EQ(checked.fault, c.fault) << c.command.size() << " bytes: " << c.command;
    EXPECT_EQ(checked.source.size(), checked.target.size());
  }
  // Paths are never cut, so a long one cannot name another, shorter file.
  EXPECT_EQ(check_command("C:\\" + std::string(300, 'a')).source,
            "C:\\" + std::string(300, 'a') + ".Wps");
  EXPECT_EQ(fault_message(Fault::too_long, 1), too_long);
}

TEST(Check, ANulByteIsFaulty) {
  // Cut at its NUL, "victim<NUL>x" would copy and delete a file named "victim".
  for (const std::string& command :
       {std::string("C:\\victim\0x", 11), std::string("\0", 1), std::string("\"C:\\a b\0\"", 9)}) {
    EXPECT_EQ(check_command(command).fault, Fault::bad_byte) << command.size();
  }
  EXPECT_EQ(fault_message(Fault::bad_byte, 3), "第     3条命令错误，含有无效字符");
}

TEST(Check, MessagesCarryTheNumberSixWide) {
  EXPECT_EQ(fault_message(Fault::missing_quotes, 100), "第   100条命令错误，缺少引号");
  EXPECT_EQ(fault_message(Fault::one_quote, 8), "第     8条命令错误，引号只有1个");
  EXPECT_EQ(fault_message(Fault::missing_quotes, 1234567), "第1234567条命令错误，缺少引号");
  EXPECT_EQ(fault_message(Fault::missing_quotes, 100).size(), 28u);
  EXPECT_EQ(fault_message(Fault::one_quote, 100).size(), 31u);
  EXPECT_EQ(fault_message(Fault::too_long, 100).size(), 28u);
  EXPECT_EQ(right_aligned(3, 6), "     3");
}

}  // namespace
}  // namespace kelvaro
