// The pure key decoders of both consoles and the table of two-value key codes.
#include "shell/keys.hpp"

#include <cstddef>

namespace kelvaro {

namespace {

constexpr unsigned char kEsc = 27;

// Scan codes of the keys that the tables change.
constexpr unsigned char kTab = 15, kEnter = 28, kKeypadStar = 55, kF1 = 59, kF10 = 68;
constexpr unsigned char kHome = 71, kUp = 72, kPgUp = 73, kKeypadMinus = 74, kLeft = 75;
constexpr unsigned char kKeypad5 = 76, kRight = 77, kEnd = 79, kDown = 80, kPgDn = 81;
constexpr unsigned char kIns = 82, kDel = 83, kF11 = 87, kF12 = 88, kSlash = 53;

bool is_cursor_or_editing(unsigned char scan) {
  switch (scan) {
    case kHome:
    case kUp:
    case kPgUp:
    case kLeft:
    case kRight:
    case kEnd:
    case kDown:
    case kPgDn:
    case kIns:
    case kDel:
      return true;
    default:
      return false;
  }
}

unsigned char alt_code(const KeyPress& k) {
  unsigned char s = k.scan;
  if (s >= 2 && s <= 13) return s + 118;
  if (s == kEnter) return 166;
  if (s == kSlash && k.enhanced) return 164;
  if (s >= kF1 && s <= kF10) return s + 45;
  if (s == kF11 || s == kF12) return s + 52;
  if (is_cursor_or_editing(s) && (k.enhanced || k.ch == 0)) return s + 80;
  return s;
}

unsigned char ctrl_code(const KeyPress& k) {
  unsigned char s = k.scan;
  if (s >= kF1 && s <= kF10) return s + 35;
  if (s == kF11 || s == kF12) return s + 50;
  switch (s) {
    case kTab:
      return 148;
    case kSlash:
      return k.enhanced ? 149 : s;
    case kKeypadStar:
      return 150;
    case kKeypadMinus:
      return 142;
    case kKeypad5:
      return 143;
    case kHome:
      return 119;
    case kUp:
      return 141;
    case kPgUp:
      return 132;
    case kLeft:
      return 115;
    case kRight:
      return 116;
    case kEnd:
      return 117;
    case kDown:
      return 145;
    case kPgDn:
      return 118;
    case kIns:
      return 146;
    case kDel:
      return 147;
    default:
      return s;
  }
}

unsigned char shift_code(const KeyPress& k) {
  unsigned char s = k.scan;
  if (s >= kF1 && s <= kF10) return s + 25;
  if (s == kF11 || s == kF12) return s + 48;
  return s;
}

unsigned char two_value_code(const KeyPress& k) {
  if (k.alt) return alt_code(k);
  if (k.ctrl) return ctrl_code(k);
  if (k.shift) return shift_code(k);
  if (k.scan == kF11 || k.scan == kF12) return k.scan + 46;
  return k.scan;
}

// The US keyboard's scan code of an ASCII character, shifted or not; 0 where there is none.
unsigned char scan_of(unsigned char c) {
  static const char kShifted[] = "!@#$%^&*()_+{}:\"~|<>?";
  static const char kUnshifted[] = "1234567890-=[];'`\\,./";
  static const struct {
    unsigned char first;
    const char* keys;
  } kRows[] = {
      {2, "1234567890-="}, {16, "qwertyuiop[]"}, {30, "asdfghjkl;'`"}, {43, "\\zxcvbnm,./"}};
  switch (c) {
    case kEsc:
      return 1;
    case 8:
    case 127:
      return 14;
    case '\t':
      return kTab;
    case '\r':
    case '\n':
      return kEnter;
    case ' ':
      return 57;
    default:
      break;
  }
  if (c >= 1 && c <= 26) c = c - 1 + 'a';  // Ctrl with a letter
  if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';
  for (std::size_t i = 0; kShifted[i]; ++i) {
    if (c == static_cast<unsigned char>(kShifted[i])) c = kUnshifted[i];
  }
  for (const auto& row : kRows) {
    for (std::size_t i = 0; row.keys[i]; ++i) {
      if (c == static_cast<unsigned char>(row.keys[i])) return row.first + i;
    }
  }
  return 0;
}

}  // namespace

void encode_key(const KeyPress& key, std::string& out) {
  bool two_value = key.ch == 0 || key.alt || key.enhanced || (key.shift && key.scan == kTab);
  if (!two_value) {
    out.push_back(static_cast<char>(key.ch));
    return;
  }
  out.push_back('\0');
  out.push_back(static_cast<char>(two_value_code(key)));
}

namespace {

constexpr unsigned short kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkCapital = 0x14;
constexpr unsigned short kVkNumLock = 0x90, kVkScroll = 0x91;

bool is_lone_modifier(unsigned short vk) {
  return vk == kVkShift || vk == kVkControl || vk == kVkMenu || vk == kVkCapital ||
         vk == kVkNumLock || vk == kVkScroll;
}

// The digit of a keypad key (not the cursor block's twin), or -1.
int keypad_digit(const ConsoleKeyRecord& r) {
  if (r.state & kEnhanced) return -1;
  switch (r.scan) {
    case 71:
      return 7;
    case 72:
      return 8;
    case 73:
      return 9;
    case 75:
      return 4;
    case 76:
      return 5;
    case 77:
      return 6;
    case 79:
      return 1;
    case 80:
      return 2;
    case 81:
      return 3;
    case 82:
      return 0;
    default:
      return -1;
  }
}

}  // namespace

void ConsoleKeyDecoder::feed(const ConsoleKeyRecord& r, std::string& out) {
  if (!r.down) {
    if (r.virtual_key == kVkMenu && composing_) {
      if (composed_ != 0) out.push_back(static_cast<char>(composed_));
      composing_ = false;
      composed_ = 0;
    }
    return;
  }
  if (is_lone_modifier(r.virtual_key)) return;
  bool left_alt = r.state & kLeftAlt;
  int digit = keypad_digit(r);
  for (unsigned n = 0; n < (r.repeat ? r.repeat : 1u); ++n) {
    if (left_alt && digit >= 0) {
      composing_ = true;
      composed_ = (composed_ * 10 + digit) % 256;
      continue;
    }
    KeyPress key;
    key.ch = r.ch;
    key.scan = static_cast<unsigned char>(r.scan);
    key.alt = left_alt;
    key.ctrl = r.state & (kLeftCtrl | kRightCtrl);
    key.shift = r.state & kShift;
    key.enhanced = r.state & kEnhanced;
    encode_key(key, out);
  }
}

namespace {

// The key of a CSI or SS3 sequence's final byte, or of its number before "~".
bool sequence_key(char final, int number, KeyPress& key) {
  key.ch = 0;
  key.enhanced = true;
  switch (final) {
    case 'A':
      key.scan = kUp;
      return true;
    case 'B':
      key.scan = kDown;
      return true;
    case 'C':
      key.scan = kRight;
      return true;
    case 'D':
      key.scan = kLeft;
      return true;
    case 'H':
      key.scan = kHome;
      return true;
    case 'F':
      key.scan = kEnd;
      return true;
    default:
      break;
  }
  key.enhanced = false;
  if (final >= 'P' && final <= 'S') {
    key.scan = kF1 + (final - 'P');
    return true;
  }
  if (final != '~') return false;
  static const struct {
    int number;
    unsigned char scan;
    bool enhanced;
  } kTilde[] = {
      {1, kHome, true},     {2, kIns, true},      {3, kDel, true},      {4, kEnd, true},
      {5, kPgUp, true},     {6, kPgDn, true},     {7, kHome, true},     {8, kEnd, true},
      {11, kF1, false},     {12, kF1 + 1, false}, {13, kF1 + 2, false}, {14, kF1 + 3, false},
      {15, kF1 + 4, false}, {17, kF1 + 5, false}, {18, kF1 + 6, false}, {19, kF1 + 7, false},
      {20, kF1 + 8, false}, {21, kF1 + 9, false}, {23, kF11, false},    {24, kF12, false}};
  for (const auto& t : kTilde) {
    if (t.number == number) {
      key.scan = t.scan;
      key.enhanced = t.enhanced;
      return true;
    }
  }
  return false;
}

// xterm's modifier parameter: 1 plus Shift 1, Alt 2, Ctrl 4.
void apply_modifier(int parameter, KeyPress& key) {
  int bits = parameter > 1 ? parameter - 1 : 0;
  key.shift = bits & 1;
  key.alt = bits & 2;
  key.ctrl = bits & 4;
}

constexpr std::size_t kLongestSequence = 16;

}  // namespace

void TerminalDecoder::feed(std::string_view input, std::string& out) {
  pending_.append(input);
  settle(out);
}

void TerminalDecoder::flush(std::string& out) {
  while (!pending_.empty()) {
    if (pending_[0] == kEsc && pending_.size() >= 2) {
      // An unfinished sequence: ESC and the next byte were typed as Alt with that key.
      KeyPress key;
      key.ch = static_cast<unsigned char>(pending_[1]);
      key.scan = scan_of(key.ch);
      key.alt = true;
      encode_key(key, out);
      pending_.erase(0, 2);
    } else {
      out.push_back(pending_[0]);
      pending_.erase(0, 1);
    }
    settle(out);
  }
}

void TerminalDecoder::settle(std::string& out) {
  std::size_t i = 0;
  auto take = [&](std::size_t n) { i += n; };
  while (i < pending_.size()) {
    unsigned char c = pending_[i];
    if (c != kEsc) {
      out.push_back(c == 127 ? '\b' : static_cast<char>(c));
      take(1);
      continue;
    }
    if (i + 1 >= pending_.size()) break;  // a lone ESC waits for the timeout
    unsigned char next = pending_[i + 1];
    if (next == '[' || next == 'O') {
      std::size_t j = i + 2;
      if (next == '[' && j < pending_.size() && pending_[j] == '[') {
        // The Linux console's F1 to F5: ESC [ [ A to E.
        if (j + 1 >= pending_.size()) break;
        char f = pending_[j + 1];
        KeyPress key;
        if (f >= 'A' && f <= 'E') {
          key.scan = kF1 + (f - 'A');
          encode_key(key, out);
        }
        take(4);
        continue;
      }
      int numbers[2] = {0, 0};
      int count = 0;
      while (j < pending_.size() &&
             ((pending_[j] >= '0' && pending_[j] <= '9') || pending_[j] == ';')) {
        if (pending_[j] == ';') {
          if (count < 1) ++count;
          numbers[count] = 0;
        } else {
          numbers[count] = numbers[count] * 10 + (pending_[j] - '0');
        }
        ++j;
      }
      if (j >= pending_.size()) {
        if (j - i >= kLongestSequence) {
          take(j - i);  // not a key: drop it rather than wait for ever
          continue;
        }
        break;
      }
      char final = pending_[j];
      KeyPress key;
      if (next == '[' && final == 'Z') {
        key.scan = kTab;
        key.ch = '\t';
        key.shift = true;
        encode_key(key, out);
      } else if (sequence_key(final, numbers[0], key)) {
        int modifier = final == '~' ? numbers[1] : (count ? numbers[1] : numbers[0]);
        apply_modifier(modifier, key);
        encode_key(key, out);
      }
      take(j + 1 - i);
      continue;
    }
    if (next == kEsc) {
      out.push_back(static_cast<char>(kEsc));
      take(1);
      continue;
    }
    KeyPress key;
    key.ch = next;
    key.scan = scan_of(next);
    key.alt = true;
    if (key.scan == 0) {
      out.push_back(static_cast<char>(kEsc));
      take(1);
      continue;
    }
    encode_key(key, out);
    take(2);
  }
  pending_.erase(0, i);
}

}  // namespace kelvaro
