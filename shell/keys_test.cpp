// Table tests of the key decoders: what each console reports, and the bytes GETKEY returns.
#include "shell/keys.hpp"

#include <gtest/gtest.h>

#include <string>

namespace kelvaro {
namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

std::string decode_terminal(std::string_view input) {
  TerminalDecoder decoder;
  std::string out;
  decoder.feed(input, out);
  decoder.flush(out);
  return out;
}

TEST(TerminalDecoder, SequencesGiveTheConsoleCodes) {
  struct Case {
    const char* input;
    std::string keys;
  } cases[] = {
      {"a", "a"},
      {"\r", "\r"},
      {"\x7f", "\b"},
      {"\x1b", "\x1b"},
      {"\x1bn", bytes({0, 49})},  // Alt+N
      {"\x1bN", bytes({0, 49})},  // Alt+Shift+N
      {"\x1b"
       "1",
       bytes({0, 120})},  // Alt+1
      {"\x1b=", bytes({0, 131})},
      {"\x1b\r", bytes({0, 166})},  // Alt+Enter
      {"\x1bOP", bytes({0, 59})},   // F1
      {"\x1b[11~", bytes({0, 59})},
      {"\x1b[[A", bytes({0, 59})},  // the Linux console's F1
      {"\x1b[21~", bytes({0, 68})},
      {"\x1b[23~", bytes({0, 133})},  // F11
      {"\x1b[24~", bytes({0, 134})},
      {"\x1b[1;2P", bytes({0, 84})},    // Shift+F1
      {"\x1b[24;2~", bytes({0, 136})},  // Shift+F12
      {"\x1b[15;5~", bytes({0, 98})},   // Ctrl+F5
      {"\x1b[18;3~", bytes({0, 110})},  // Alt+F7
      {"\x1b[23;3~", bytes({0, 139})},
      {"\x1b[A", bytes({0, 72})},
      {"\x1bOB", bytes({0, 80})},
      {"\x1b[H", bytes({0, 71})},
      {"\x1b[4~", bytes({0, 79})},
      {"\x1b[2~", bytes({0, 82})},
      {"\x1b[3~", bytes({0, 83})},
      {"\x1b[5~", bytes({0, 73})},
      {"\x1b[6~", bytes({0, 81})},
      {"\x1b[1;5A", bytes({0, 141})},  // Ctrl+Up
      {"\x1b[1;5D", bytes({0, 115})},
      {"\x1b[1;5H", bytes({0, 119})},
      {"\x1b[3;5~", bytes({0, 147})},
      {"\x1b[6;5~", bytes({0, 118})},
      {"\x1b[1;3A", bytes({0, 152})},  // Alt+Up
      {"\x1b[3;3~", bytes({0, 163})},
      {"\x1b[1;2A", bytes({0, 72})},  // Shift+Up keeps its code
      {"\x1b[Z", bytes({0, 15})},     // Shift+Tab
      {"\x1b[200~", ""},              // not a key
      {"x\x1b[Ay", bytes({'x', 0, 72, 'y'})},
      {"\x1b\x1b", "\x1b\x1b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(decode_terminal(c.input), c.keys) << "input: " << c.input + 1;
  }
}

TEST(TerminalDecoder, AnEscapeWaitsForTheRestOfItsSequence) {
  TerminalDecoder decoder;
  std::string out;
  decoder.feed("\x1b", out);
  EXPECT_TRUE(decoder.waiting());
  EXPECT_EQ(out, "");
  decoder.feed("[1;", out);
  EXPECT_TRUE(decoder.waiting());
  decoder.feed("5B", out);
  EXPECT_FALSE(decoder.waiting());
  EXPECT_EQ(out, bytes({0, 145}));
}

TEST(TerminalDecoder, AnUnfinishedSequenceIsTakenAsTypedWhenTimeRunsOut) {
  TerminalDecoder decoder;
  std::string out;
  decoder.feed("\x1b[", out);
  decoder.flush(out);
  EXPECT_EQ(out, bytes({0, 26}));  // Alt+[
  EXPECT_FALSE(decoder.waiting());
}

ConsoleKeyRecord press(unsigned short vk, unsigned short scan, unsigned char ch,
                       unsigned long state = 0) {
  ConsoleKeyRecord r;
  r.virtual_key = vk;
  r.scan = scan;
  r.ch = ch;
  r.state = state;
  return r;
}

ConsoleKeyRecord release(ConsoleKeyRecord r) {
  r.down = false;
  return r;
}

TEST(ConsoleKeyDecoder, KeyEventsGiveOneOrTwoValues) {
  struct Case {
    const char* what;
    ConsoleKeyRecord record;
    std::string keys;
  } cases[] = {
      {"a", press('A', 30, 'a'), "a"},
      {"Enter", press(0x0D, 28, '\r'), "\r"},
      {"Escape", press(0x1B, 1, 27), "\x1b"},
      {"F1", press(0x70, 59, 0), bytes({0, 59})},
      {"F11", press(0x7A, 87, 0), bytes({0, 133})},
      {"Shift+F1", press(0x70, 59, 0, kShift), bytes({0, 84})},
      {"Shift+F12", press(0x7B, 88, 0, kShift), bytes({0, 136})},
      {"Shift+Tab", press(0x09, 15, '\t', kShift), bytes({0, 15})},
      {"Tab", press(0x09, 15, '\t'), "\t"},
      {"Ctrl+F10", press(0x79, 68, 0, kLeftCtrl), bytes({0, 103})},
      {"Ctrl+F11", press(0x7A, 87, 0, kRightCtrl), bytes({0, 137})},
      {"Ctrl+keypad 5", press(0x0C, 76, 0, kLeftCtrl), bytes({0, 143})},
      {"Ctrl+keypad /", press(0x6F, 53, '/', kLeftCtrl | kEnhanced), bytes({0, 149})},
      {"Ctrl+PgUp", press(0x21, 73, 0, kLeftCtrl | kEnhanced), bytes({0, 132})},
      {"Ctrl+Ins", press(0x2D, 82, 0, kLeftCtrl | kEnhanced), bytes({0, 146})},
      {"Alt+N", press('N', 49, 'n', kLeftAlt), bytes({0, 49})},
      {"Alt+=", press(0xBB, 13, '=', kLeftAlt), bytes({0, 131})},
      {"Alt+Enter", press(0x0D, 28, '\r', kLeftAlt), bytes({0, 166})},
      {"Alt+keypad /", press(0x6F, 53, '/', kLeftAlt | kEnhanced), bytes({0, 164})},
      {"Alt+F7", press(0x76, 65, 0, kLeftAlt), bytes({0, 110})},
      {"Alt+F12", press(0x7B, 88, 0, kLeftAlt), bytes({0, 140})},
      {"Alt+Del", press(0x2E, 83, 0, kLeftAlt | kEnhanced), bytes({0, 163})},
      {"Alt+Ctrl+F1", press(0x70, 59, 0, kLeftAlt | kLeftCtrl), bytes({0, 104})},
      {"Right Alt+a", press('A', 30, 'a', kRightAlt), "a"},
      {"Up", press(0x26, 72, 0, kEnhanced), bytes({0, 72})},
      {"keypad Enter", press(0x0D, 28, '\r', kEnhanced), bytes({0, 28})},
      {"keypad 8 with Num Lock", press(0x68, 72, '8'), "8"},
      {"Shift alone", press(0x10, 42, 0, kShift), ""},
      {"Ctrl alone", press(0x11, 29, 0, kLeftCtrl), ""},
      {"Alt alone", press(0x12, 56, 0, kLeftAlt), ""},
      {"Caps Lock", press(0x14, 58, 0), ""},
      {"a released", release(press('A', 30, 'a')), ""},
  };
  for (const auto& c : cases) {
    ConsoleKeyDecoder decoder;
    std::string out;
    decoder.feed(c.record, out);
    EXPECT_EQ(out, c.keys) << c.what;
  }
}

TEST(ConsoleKeyDecoder, AltWithKeypadDigitsBuildsACharacter) {
  struct Case {
    std::initializer_list<unsigned short> digit_scans;
    std::string keys;
  } cases[] = {
      {{79, 72}, "\x12"},  // Alt 1 8
      {{77, 76}, "A"},     // 6 5
      {{72, 72, 72, 77}, std::string(1, static_cast<char>(8886 % 256))},
      {{82}, ""},          // 0 gives nothing
      {{80, 76, 77}, ""},  // 256 is 0 again
  };
  for (const auto& c : cases) {
    ConsoleKeyDecoder decoder;
    std::string out;
    decoder.feed(press(0x12, 56, 0, kLeftAlt), out);
    for (unsigned short scan : c.digit_scans) {
      decoder.feed(press(0x60, scan, 0, kLeftAlt), out);
      decoder.feed(release(press(0x60, scan, 0, kLeftAlt)), out);
    }
    EXPECT_EQ(out, "");
    decoder.feed(release(press(0x12, 56, 0)), out);
    EXPECT_EQ(out, c.keys);
  }
}

TEST(ConsoleKeyDecoder, RepeatedKeysComeInOrder) {
  ConsoleKeyDecoder decoder;
  std::string out;
  auto r = press('B', 48, 'b');
  r.repeat = 3;
  decoder.feed(r, out);
  decoder.feed(press(0x70, 59, 0), out);
  decoder.feed(press('C', 46, 'c'), out);
  EXPECT_EQ(out, bytes({'b', 'b', 'b', 0, 59, 'c'}));
}

}  // namespace
}  // namespace kelvaro
