// The Windows file calls on a real file system: no sharing, and the error codes a stop reports.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "scripts/stop.hpp"
#include "scripts/textfile.hpp"

namespace kelvaro {
namespace {

class TextFileWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    dir_ = std::string(temp) + "kelvaro-textfile-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const auto& name : made_) {
      SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(name.c_str());
    }
    RemoveDirectoryA(dir_.c_str());
  }
  std::string file(const std::string& name) {
    made_.push_back(dir_ + "\\" + name);
    return made_.back();
  }

  std::string dir_;
  std::vector<std::string> made_;
};

TEST_F(TextFileWin32, WritesAndReadsBack) {
  std::string name = file("round.txt");
  TextFile out;
  out.create(name);
  out.line("\xC3\xFC\xC1\xEE abc");
  out.write_number(42, 5);
  out.close();

  TextFile in;
  in.open_read(name);
  std::string got;
  for (int c = in.read_byte(); c != -1; c = in.read_byte()) got.push_back(static_cast<char>(c));
  in.close();
  EXPECT_EQ(got, "\xC3\xFC\xC1\xEE abc\r\n   42");
}

TEST_F(TextFileWin32, CreateOverwrites) {
  std::string name = file("over.txt");
  os::Handle handle = -1;
  ASSERT_EQ(os::create_file(name, &handle), 0);
  ASSERT_EQ(os::write_file(handle, "long contents", 13), 0);
  ASSERT_EQ(os::close_file(handle), 0);
  ASSERT_EQ(os::create_file(name, &handle), 0);
  ASSERT_EQ(os::write_file(handle, "ab", 2), 0);
  ASSERT_EQ(os::close_file(handle), 0);

  ASSERT_EQ(os::open_file_read(name, &handle), 0);
  char buffer[32];
  std::size_t got = 0;
  ASSERT_EQ(os::read_file(handle, buffer, sizeof buffer, &got), 0);
  EXPECT_EQ(std::string(buffer, got), "ab");
  ASSERT_EQ(os::read_file(handle, buffer, sizeof buffer, &got), 0);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(os::close_file(handle), 0);
}

TEST_F(TextFileWin32, AnOpenFileIsNotShared) {
  std::string name = file("shared.txt");
  os::Handle first = -1;
  ASSERT_EQ(os::create_file(name, &first), 0);
  os::Handle second = -1;
  int code = os::create_file(name, &second);
  EXPECT_EQ(code, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(error_number(code), 5);
  code = os::open_file_read(name, &second);
  EXPECT_EQ(code, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(os::close_file(first), 0);

  ASSERT_EQ(os::open_file_read(name, &first), 0);
  EXPECT_EQ(os::open_file_read(name, &second), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(os::close_file(first), 0);
}

TEST_F(TextFileWin32, SharingViolationStopsWithFive) {
  std::string name = file("locked.txt");
  os::Handle held = -1;
  ASSERT_EQ(os::create_file(name, &held), 0);
  TextFile f;
  try {
    f.create(name);
    ADD_FAILURE() << "created a file that is open";
  } catch (const FileError& error) {
    EXPECT_EQ(error.number, 5);
  }
  os::close_file(held);
}

TEST_F(TextFileWin32, ReadOnlyFileIsNotCreatedOver) {
  std::string name = file("readonly.txt");
  os::Handle handle = -1;
  ASSERT_EQ(os::create_file(name, &handle), 0);
  ASSERT_EQ(os::close_file(handle), 0);
  ASSERT_TRUE(SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY));
  int code = os::create_file(name, &handle);
  EXPECT_EQ(code, ERROR_ACCESS_DENIED);
  EXPECT_EQ(error_number(code), 5);
  if (code == 0) os::close_file(handle);
  SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(TextFileWin32, MissingFolderIsThree) {
  os::Handle handle = -1;
  int code = os::create_file(dir_ + "\\no such folder\\f.txt", &handle);
  EXPECT_EQ(code, ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(error_number(code), 3);
}

TEST_F(TextFileWin32, MissingFileIsTwo) {
  os::Handle handle = -1;
  int code = os::open_file_read(dir_ + "\\missing.txt", &handle);
  EXPECT_EQ(code, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(error_number(code), 2);
}

}  // namespace
}  // namespace kelvaro
