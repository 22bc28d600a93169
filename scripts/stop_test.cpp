// Tests of the stop message and its error numbers.
#include "scripts/stop.hpp"

#include <gtest/gtest.h>

#include <regex>

namespace kelvaro {
namespace {

TEST(ErrorNumber, MapsThePlatformCode) {
  struct Case {
    int code, number;
  } cases[] = {{2, 2},  {3, 3},   {5, 5},   {18, 18}, {19, 150},  {31, 162},
               {32, 5}, {33, 33}, {145, 5}, {183, 5}, {112, 112}, {kShortWrite, 101}};
  for (const auto& c : cases) EXPECT_EQ(error_number(c.code), c.number) << c.code;
}

TEST(StopMessage, TracesTheActiveProceduresInnermostFirst) {
  FileError error{};
  {
    Active outer("main");
    Active inner("FIXIT");
    try {
      fail(2);
    } catch (const FileError& e) {
      error = e;
    }
  }
  EXPECT_EQ(error.number, 2);
  std::string text = stop_message(error);
  EXPECT_TRUE(std::regex_match(text, std::regex("Runtime error 2 at \\$[0-9A-F]{8}\r\n"
                                                "  FIXIT\r\n  main\r\n\r\n")))
      << text;
}

TEST(StopMessage, ThePlaceIsTheSameForTheSameCallAndDiffersBetweenCalls) {
  auto place = [](int which) {
    try {
      if (which == 0) fail(5);
      fail(5);
    } catch (const FileError& e) {
      return e.place;
    }
    return 0u;
  };
  EXPECT_EQ(place(0), place(0));
  EXPECT_NE(place(0), place(1));
}

}  // namespace
}  // namespace kelvaro
