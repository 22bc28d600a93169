// Tests of F: the exact bytes written, the number widths, reading, and the error numbers.
#include "scripts/textfile.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "scripts/stop.hpp"
#include "testing/recording_runner.hpp"

namespace kelvaro {
namespace {

int error_of(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const FileError& error) {
    return error.number;
  }
  return 0;
}

TEST(TextFile, WritesLinesAndPiecesByteForByte) {
  TempDir dir;
  TextFile f;
  f.create("a.txt");
  f.line("@echo off");
  f.write("第");
  f.write_number(8, 6);
  f.write("条");
  f.line_end();
  f.line("");
  f.write_number(1234567, 6);
  f.write_number(-3, 0);
  f.line_end();
  f.close();
  EXPECT_EQ(read_file("a.txt"), "@echo off\r\n\xB5\xDA     8\xCC\xF5\r\n\r\n1234567-3\r\n");
}

TEST(TextFile, CreatingOverwritesFromTheStart) {
  TempDir dir;
  write_file("a.txt", std::string(100000, 'x'));
  TextFile f;
  f.create("a.txt");
  f.line("y");
  f.close();
  EXPECT_EQ(read_file("a.txt"), "y\r\n");
}

TEST(TextFile, ALongFileIsWrittenAndReadWhole) {
  TempDir dir;
  std::string big;
  for (int i = 0; i < 300000; ++i) big += static_cast<char>(i * 7);
  TextFile f;
  f.create("big.txt");
  f.write(big);
  f.close();
  f.open_read("big.txt");
  std::string back;
  for (int c; (c = f.read_byte()) >= 0;) back += static_cast<char>(c);
  f.close();
  EXPECT_EQ(back, big);
}

TEST(TextFile, FailuresGiveTheirErrorNumbers) {
  TempDir dir;
  TextFile f;
  EXPECT_EQ(error_of([&] { f.open_read("missing.txt"); }), 2);
  EXPECT_EQ(error_of([&] { f.open_read("nofolder/missing.txt"); }), 3);
  EXPECT_EQ(error_of([&] { f.create("nofolder/a.txt"); }), 3);
  std::filesystem::create_directory("Open.bat");
  EXPECT_EQ(error_of([&] { f.create("Open.bat"); }), 5);
  EXPECT_EQ(error_of([&] { f.open_read("Open.bat"); }), 5);
}

TEST(TextFile, AReadOnlyFileCannotBeOverwritten) {
  TempDir dir;
  write_file("Copy.bat", "old");
  make_read_only("Copy.bat");
  TextFile f;
  EXPECT_EQ(error_of([&] { f.create("Copy.bat"); }), 5);
  EXPECT_EQ(read_file("Copy.bat"), "old");
}

TEST(TextFile, AFileHeldOpenCannotBeOpenedAgain) {
  TempDir dir;
  TextFile first, second;
  first.create("a.txt");
  EXPECT_EQ(error_of([&] { second.open_read("a.txt"); }), 5);
  first.close();
}

}  // namespace
}  // namespace kelvaro
