// The terminal stand-in for the Windows console: raw input, VT output, code page 936 shown via
// iconv.
#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "shell/console.hpp"
#include "shell/keys.hpp"

namespace kelvaro {

namespace {

// How long the rest of an escape sequence may take before a lone ESC counts as Escape.
constexpr int kEscapeTimeoutMs = 50;

// What a signal handler needs to put the terminal back; set once the terminal is raw.
struct termios g_saved;
volatile sig_atomic_t g_raw = 0;

void write_all(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void restore_terminal() {
  static const char kReset[] = "\x1b[0m";
  if (g_raw) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_saved);
    g_raw = 0;
  }
  if (isatty(STDOUT_FILENO)) write_all(STDOUT_FILENO, kReset, sizeof kReset - 1);
}

void on_fatal_signal(int sig) {
  restore_terminal();
  signal(sig, SIG_DFL);
  raise(sig);
}

class TerminalConsole : public Console {
 public:
  TerminalConsole() {
    setlocale(LC_CTYPE, "");
    std::string charset = nl_langinfo(CODESET);
    if (charset != "GBK" && charset != "GB18030") {
      to_terminal_ = iconv_open((charset + "//TRANSLIT").c_str(), "CP936");
    }
    input_tty_ = tcgetattr(STDIN_FILENO, &g_saved) == 0;
    output_tty_ = isatty(STDOUT_FILENO);
    struct winsize size;
    if (output_tty_ && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col && size.ws_row) {
      columns_ = size.ws_col;
      rows_ = size.ws_row;
    }
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) signal(sig, on_fatal_signal);
    reacquire();
  }

  ~TerminalConsole() override {
    restore();
    if (to_terminal_ != reinterpret_cast<iconv_t>(-1)) iconv_close(to_terminal_);
  }

  void write(std::string_view bytes) override {
    std::string out = colour();
    show(bytes, out);
    if (output_tty_) out += "\x1b[0m";
    write_all(STDOUT_FILENO, out.data(), out.size());
  }

  void clear_screen() override {
    if (!output_tty_) return;
    std::string out = colour() + "\x1b[H\x1b[2J\x1b[0m";
    write_all(STDOUT_FILENO, out.data(), out.size());
  }

  void cursor_to(int column, int row) override {
    if (!output_tty_ || column < 1 || column > columns_ || row < 1 || row > rows_) return;
    std::string out = "\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H";
    write_all(STDOUT_FILENO, out.data(), out.size());
  }

  unsigned char get_key() override {
    while (keys_.empty()) read_keys();
    unsigned char key = keys_.front();
    keys_.erase(0, 1);
    return key;
  }

  void pause(int milliseconds) override { poll(nullptr, 0, milliseconds); }

  void bright() override { bright_ = true; }

  void release() override { restore_terminal(); }

  void reacquire() override {
    if (!input_tty_) return;
    struct termios raw = g_saved;
    raw.c_iflag &= ~(IXON | ICRNL | INLCR | IGNCR | ISTRIP | BRKINT);
    raw.c_lflag &= ~(ICANON | ECHO | IEXTEN);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) == 0) g_raw = 1;
  }

  void restore() override { restore_terminal(); }

 private:
  std::string colour() const { return output_tty_ && bright_ ? "\x1b[1m" : ""; }

  // The bytes in the terminal's character set; a character split across writes is held back.
  void show(std::string_view bytes, std::string& out) {
    if (to_terminal_ == reinterpret_cast<iconv_t>(-1)) {
      out.append(bytes);
      return;
    }
    std::string in = held_ + std::string(bytes);
    held_.clear();
    char* src = in.data();
    std::size_t left = in.size();
    while (left > 0) {
      char buffer[1024];
      char* dst = buffer;
      std::size_t room = sizeof buffer;
      std::size_t done = iconv(to_terminal_, &src, &left, &dst, &room);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (done != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) continue;
      if (errno == EINVAL) {
        held_.assign(src, left);
        break;
      }
      out += '?';
      ++src;
      --left;
    }
  }

  // Reads what the terminal sends and decodes it; an unfinished sequence gets a short wait.
  void read_keys() {
    struct pollfd in = {STDIN_FILENO, POLLIN, 0};
    int ready = poll(&in, 1, decoder_.waiting() ? kEscapeTimeoutMs : -1);
    if (ready < 0) {
      if (errno == EINTR) return;
      throw InputClosed{};
    }
    if (ready == 0) {
      decoder_.flush(keys_);
      return;
    }
    char buffer[256];
    ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n <= 0) {
      decoder_.flush(keys_);
      if (keys_.empty()) throw InputClosed{};
      return;
    }
    decoder_.feed(std::string_view(buffer, static_cast<std::size_t>(n)), keys_);
  }

  iconv_t to_terminal_ = reinterpret_cast<iconv_t>(-1);
  std::string held_;
  bool input_tty_ = false;
  bool output_tty_ = false;
  bool bright_ = false;
  int columns_ = 80;
  int rows_ = 25;
  TerminalDecoder decoder_;
  std::string keys_;
};

}  // namespace

void write_standard_output(std::string_view bytes) {
  write_all(STDOUT_FILENO, bytes.data(), bytes.size());
}

std::unique_ptr<Console> open_system_console() {
  return std::make_unique<TerminalConsole>();
}

}  // namespace kelvaro
