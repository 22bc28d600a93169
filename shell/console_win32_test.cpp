// The Windows console backend on real handles: pipes, and a console screen buffer where one is.
#include "shell/console_win32.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace kelvaro {
namespace {

struct Pipe {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  Pipe() { CreatePipe(&read, &write, nullptr, 0); }
  ~Pipe() {
    close_read();
    close_write();
  }
  void close_read() {
    if (read) CloseHandle(read);
    read = nullptr;
  }
  void close_write() {
    if (write) CloseHandle(write);
    write = nullptr;
  }
  std::string drain() {
    close_write();
    std::string all;
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) all.append(buffer, got);
    return all;
  }
};

TEST(ConsoleWin32Redirected, InputBytesAreKeysUntilItEnds) {
  Pipe input;
  Pipe output;
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(input.write, "a\0;Y", 4, &written, nullptr));
  input.close_write();
  Win32Console con(input.read, output.write);
  EXPECT_EQ(con.get_key(), 'a');
  EXPECT_EQ(con.get_key(), 0);
  EXPECT_EQ(con.get_key(), ';');
  EXPECT_EQ(con.get_key(), 'Y');
  EXPECT_THROW(con.get_key(), InputClosed);
  EXPECT_THROW(con.get_key(), InputClosed);
}

TEST(ConsoleWin32Redirected, InputThatIsNoHandleIsClosed) {
  Pipe output;
  Win32Console con(INVALID_HANDLE_VALUE, output.write);
  EXPECT_THROW(con.get_key(), InputClosed);
}

TEST(ConsoleWin32Redirected, OutputGetsTheBytesOnly) {
  Pipe input;
  Pipe output;
  {
    Win32Console con(input.read, output.write);
    con.write("\xC4\xE3\xBA\xC3\r\n");
    con.clear_screen();
    con.cursor_to(1, 1);
    con.bright();
    con.write("ab");
    con.restore();
  }
  EXPECT_EQ(output.drain(), "\xC4\xE3\xBA\xC3\r\nab");
}

// Set for a child run that has been given a console, where a missing one is a failure.
constexpr char kConsoleChild[] = "KELVARO_TEST_CONSOLE_CHILD";

// A console screen buffer of the test's own, whose window is a part of it, and the input buffer.
// These run in a process that has a console; ConsoleWin32PseudoConsole gives them one.
class ConsoleWin32 : public ::testing::Test {
 protected:
  static constexpr SHORT kWidth = 100;
  static constexpr SHORT kHeight = 60;
  static constexpr SMALL_RECT kWindow{5, 10, 44, 29};

  void SetUp() override {
    input_ = open("CONIN$");
    if (input_ == INVALID_HANDLE_VALUE) {
      DWORD error = GetLastError();
      if (GetEnvironmentVariableA(kConsoleChild, nullptr, 0)) {
        FAIL() << "the child was given a console but CONIN$ fails with error " << error;
      }
      GTEST_SKIP() << "this process has no console (CONIN$: error " << error
                   << "); ConsoleWin32PseudoConsole runs these tests in a child that has one";
    }
    code_page_ = GetConsoleOutputCP();
    screen_ =
        CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    ASSERT_NE(screen_, INVALID_HANDLE_VALUE) << "CreateConsoleScreenBuffer: " << GetLastError();
    ASSERT_TRUE(SetConsoleScreenBufferSize(screen_, COORD{kWidth, kHeight})) << GetLastError();
    ASSERT_TRUE(SetConsoleWindowInfo(screen_, TRUE, &kWindow)) << GetLastError();
    CONSOLE_SCREEN_BUFFER_INFO info;
    ASSERT_TRUE(GetConsoleScreenBufferInfo(screen_, &info));
    ASSERT_EQ(info.srWindow.Left, kWindow.Left);
    ASSERT_EQ(info.srWindow.Top, kWindow.Top);
    ASSERT_EQ(info.srWindow.Right, kWindow.Right);
    ASSERT_EQ(info.srWindow.Bottom, kWindow.Bottom);
    DWORD done = 0;
    FillConsoleOutputCharacterA(screen_, 'X', kWidth * kHeight, COORD{0, 0}, &done);
    FillConsoleOutputAttribute(screen_, 0x07, kWidth * kHeight, COORD{0, 0}, &done);
    FlushConsoleInputBuffer(input_);
  }
  void TearDown() override {
    if (screen_ != INVALID_HANDLE_VALUE) CloseHandle(screen_);
    if (input_ == INVALID_HANDLE_VALUE) return;
    SetConsoleOutputCP(code_page_);
    FlushConsoleInputBuffer(input_);
    CloseHandle(input_);
  }

  static HANDLE open(const char* device) {
    return CreateFileA(device, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
  }
  COORD cursor() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(screen_, &info);
    return info.dwCursorPosition;
  }
  WORD attribute() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(screen_, &info);
    return info.wAttributes;
  }
  WORD cell_attribute(SHORT x, SHORT y) {
    WORD value = 0;
    DWORD got = 0;
    ReadConsoleOutputAttribute(screen_, &value, 1, COORD{x, y}, &got);
    return value;
  }
  static INPUT_RECORD key(bool down, WORD virtual_key, WORD scan, char ch, DWORD state = 0) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = down;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = virtual_key;
    record.Event.KeyEvent.wVirtualScanCode = scan;
    record.Event.KeyEvent.uChar.AsciiChar = ch;
    record.Event.KeyEvent.dwControlKeyState = state;
    return record;
  }
  void type(const std::vector<INPUT_RECORD>& records) {
    DWORD written = 0;
    ASSERT_TRUE(
        WriteConsoleInputA(input_, records.data(), static_cast<DWORD>(records.size()), &written))
        << GetLastError();
    ASSERT_EQ(written, records.size());
  }

  HANDLE input_ = INVALID_HANDLE_VALUE;
  HANDLE screen_ = INVALID_HANDLE_VALUE;
  UINT code_page_ = 0;
};

TEST_F(ConsoleWin32, ClearScreenFillsOnlyTheWindowInTheColour) {
  SetConsoleTextAttribute(screen_, 0x17);
  Win32Console con(input_, screen_);
  con.bright();
  con.clear_screen();
  for (SHORT y = 0; y < kHeight; ++y) {
    std::string chars(kWidth, '?');
    std::vector<WORD> attributes(kWidth);
    DWORD got = 0;
    ReadConsoleOutputCharacterA(screen_, chars.data(), kWidth, COORD{0, y}, &got);
    ReadConsoleOutputAttribute(screen_, attributes.data(), kWidth, COORD{0, y}, &got);
    for (SHORT x = 0; x < kWidth; ++x) {
      bool in_window =
          x >= kWindow.Left && x <= kWindow.Right && y >= kWindow.Top && y <= kWindow.Bottom;
      ASSERT_EQ(chars[x], in_window ? ' ' : 'X') << x << "," << y;
      ASSERT_EQ(attributes[x], in_window ? 0x1F : 0x07) << x << "," << y;
    }
  }
  EXPECT_EQ(cursor().X, kWindow.Left);
  EXPECT_EQ(cursor().Y, kWindow.Top);
  EXPECT_EQ(attribute(), 0x17);
}

TEST_F(ConsoleWin32, CursorToCountsFromOneWithinTheWindow) {
  Win32Console con(input_, screen_);
  con.cursor_to(3, 4);
  EXPECT_EQ(cursor().X, kWindow.Left + 2);
  EXPECT_EQ(cursor().Y, kWindow.Top + 3);
  con.cursor_to(40, 20);
  EXPECT_EQ(cursor().X, kWindow.Right);
  EXPECT_EQ(cursor().Y, kWindow.Bottom);
  con.cursor_to(1, 1);
  for (auto [column, row] : {std::pair{0, 1}, {1, 0}, {41, 1}, {1, 21}, {-3, -3}, {100, 100}}) {
    con.cursor_to(column, row);
    EXPECT_EQ(cursor().X, kWindow.Left) << column << "," << row;
    EXPECT_EQ(cursor().Y, kWindow.Top) << column << "," << row;
  }
}

TEST_F(ConsoleWin32, WriteUsesTheProgramsColourAndCodePageOnlyForItsOwnText) {
  ASSERT_TRUE(SetConsoleOutputCP(437));
  SetConsoleTextAttribute(screen_, 0x07);
  Win32Console con(input_, screen_);
  con.bright();
  con.cursor_to(1, 1);
  con.write(
      "\xC4\xE3\xBA\xC3"
      "ab");
  EXPECT_EQ(GetConsoleOutputCP(), 437u);
  EXPECT_EQ(attribute(), 0x07);

  wchar_t text[8] = {};
  DWORD got = 0;
  ReadConsoleOutputCharacterW(screen_, text, 8, COORD{kWindow.Left, kWindow.Top}, &got);
  std::wstring shown(text, got);
  EXPECT_NE(shown.find(L'\u4F60'), std::wstring::npos);
  EXPECT_NE(shown.find(L'\u597D'), std::wstring::npos);
  EXPECT_NE(shown.find(L"ab"), std::wstring::npos);
  EXPECT_EQ(cell_attribute(kWindow.Left, kWindow.Top), 0x0F);
  EXPECT_EQ(cursor().Y, kWindow.Top);

  SetConsoleOutputCP(850);
  con.restore();
  EXPECT_EQ(GetConsoleOutputCP(), 437u);
}

TEST_F(ConsoleWin32, GetKeyReturnsTypedAheadKeysInOrder) {
  INPUT_RECORD focus{};
  focus.EventType = FOCUS_EVENT;
  focus.Event.FocusEvent.bSetFocus = TRUE;
  type({key(true, 'A', 0x1E, 'a'), key(false, 'A', 0x1E, 'a'), focus, key(true, VK_F1, 0x3B, 0),
        key(false, VK_F1, 0x3B, 0), key(true, 'B', 0x30, 'B', SHIFT_PRESSED),
        key(false, 'B', 0x30, 'B', SHIFT_PRESSED)});
  Win32Console con(input_, screen_);
  EXPECT_EQ(con.get_key(), 'a');
  EXPECT_EQ(con.get_key(), 0);
  EXPECT_EQ(con.get_key(), 59);
  EXPECT_EQ(con.get_key(), 'B');
}

TEST_F(ConsoleWin32, SecondValueOfAKeyComesWithoutWaiting) {
  type({key(true, VK_F1, 0x3B, 0), key(false, VK_F1, 0x3B, 0)});
  Win32Console con(input_, screen_);
  EXPECT_EQ(con.get_key(), 0);
  DWORD waiting = 1;
  ASSERT_TRUE(GetNumberOfConsoleInputEvents(input_, &waiting));
  EXPECT_EQ(waiting, 0u);
  EXPECT_EQ(con.get_key(), 59);
}

// Wine, and a program whose output is redirected, may have no usable console; a pseudoconsole
// gives one to a child run of the ConsoleWin32 tests.
TEST(ConsoleWin32PseudoConsole, RunsTheConsoleTestsInAChildWithAConsole) {
  using CreatePseudoConsoleCall = HRESULT(WINAPI*)(COORD, HANDLE, HANDLE, DWORD, void**);
  using ClosePseudoConsoleCall = void(WINAPI*)(void*);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto create = reinterpret_cast<CreatePseudoConsoleCall>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "CreatePseudoConsole")));
  auto close = reinterpret_cast<ClosePseudoConsoleCall>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "ClosePseudoConsole")));
  if (!create || !close) GTEST_SKIP() << "this system has no pseudoconsoles";

  Pipe keyboard;
  Pipe screen;
  void* console = nullptr;
  HRESULT made = create(COORD{80, 25}, keyboard.read, screen.write, 0, &console);
  if (FAILED(made)) GTEST_SKIP() << "CreatePseudoConsole failed: " << std::hex << made;
  keyboard.close_read();
  screen.close_write();
  // The pseudoconsole blocks when what it shows is not read.
  std::string shown;
  std::thread reader([&] {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(screen.read, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      shown.append(buffer, got);
    }
  });

  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<char> storage(size);
  auto attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
  // PROC_THREAD_ATTRIBUTE_PSEUDOCONSOLE, which the headers offer only to Windows 10 1809 builds.
  constexpr DWORD_PTR kPseudoConsoleAttribute = 0x00020016;
  bool listed = InitializeProcThreadAttributeList(attributes, 1, 0, &size) &&
                UpdateProcThreadAttribute(attributes, 0, kPseudoConsoleAttribute, console,
                                          sizeof console, nullptr, nullptr);
  STARTUPINFOEXA startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.lpAttributeList = attributes;
  char self[MAX_PATH];
  std::string command = "\"" + std::string(self, GetModuleFileNameA(nullptr, self, MAX_PATH)) +
                        "\" --gtest_filter=ConsoleWin32.*";
  SetEnvironmentVariableA(kConsoleChild, "1");
  PROCESS_INFORMATION process{};
  bool started = listed && CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE,
                                          EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                                          &startup.StartupInfo, &process);
  DWORD start_error = GetLastError();
  SetEnvironmentVariableA(kConsoleChild, nullptr);
  DWORD exit_code = 1;
  if (started) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  close(console);
  reader.join();
  if (listed) DeleteProcThreadAttributeList(attributes);
  ASSERT_TRUE(listed) << "the pseudoconsole attribute: error " << start_error;
  ASSERT_TRUE(started) << command << ": error " << start_error;
  EXPECT_EQ(exit_code, 0u) << "the console tests failed in the child; its console showed:\n"
                           << shown;
}

}  // namespace
}  // namespace kelvaro
