// kelvaro-cmd's core: parses task-script lines as the command interpreter does and carries them
// out.
#pragma once

#include <iconv.h>
#include <sys/stat.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// A nested namespace keeps these names clear of the program's own classes in the test binary.
namespace kelvaro::standin {

// The variables that %NAME% reads. Names match without regard to ASCII case; where two differ
// only in case, the one spelled exactly as asked wins, else the first.
class Environment {
 public:
  Environment() = default;
  Environment(std::initializer_list<std::pair<std::string, std::string>> vars) : vars_(vars) {}
  static Environment from_process();

  // "userprofile" falls back to HOME, so that the store folder lands in the POSIX home.
  std::optional<std::string_view> get(std::string_view name) const;

 private:
  std::vector<std::pair<std::string, std::string>> vars_;
};

// One argument after expansion, escaping and quote removal.
struct Word {
  std::string text;
  // Some of it stood in double quotes; start reads a leading quoted word as a window title.
  bool quoted = false;
  friend bool operator==(const Word&, const Word&) = default;
};

struct Command {
  std::string verb;  // as written, case kept
  std::vector<Word> args;
  // For a well-formed "if [not] exist PATH ...": args are the condition's words and body the
  // commands it guards, which take in every "&"-joined command after it on the line, as the
  // real interpreter's do. A malformed if keeps all its words in args and an empty body.
  std::vector<Command> body;
};

// What parse_line makes of one script line; the parser is total and never touches a file.
struct ParsedLine {
  std::string expanded;  // the line after %-expansion, as echo on shows it
  bool quiet = false;    // began with "@"
  // Every unescaped & | < > outside double quotes, in the order met.
  std::string operators;
  bool dangling_caret = false;  // ends in an unescaped "^", which would join the next line
  bool empty_command = false;   // "&" with nothing before or after it
  std::vector<Command> commands;

  // Lines that pipe, redirect, continue or have an empty command run nothing at all.
  bool runnable() const;
};

// Phase one, %-expansion: %NAME% from env (undefined gives nothing), %% gives %, %0 the script
// name, %1 to %9 and %* nothing, and a % with no closing % vanishes.
std::string expand(std::string_view line, const Environment& env, std::string_view script = {});

// Expands, then splits the line into commands at unescaped "&" and each command into words at
// blanks and tabs outside quotes; "^" outside quotes takes the next byte literally. Leading "@"s
// of a command are dropped. Bytes >= 0x80 are never special.
ParsedLine parse_line(std::string_view line, const Environment& env, std::string_view script = {});

// Turns UTF-8 message text into the terminal's character set.
class Charset {
 public:
  explicit Charset(std::string_view codeset);
  ~Charset();
  Charset(const Charset&) = delete;
  Charset& operator=(const Charset&) = delete;

  // A text the character set cannot hold is given as UTF-8, which beats a row of question marks.
  std::string from_utf8(std::string_view text) const;

 private:
  iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

// How a document or an address is handed on: decided from the environment alone, so that the
// decision is testable without starting anything.
struct Launch {
  enum class Mode { none, detached, wait };
  Mode mode = Mode::none;
  std::vector<std::string> argv;
};

// A desktop session hands it to xdg-open; a terminal opens it in $VISUAL or $EDITOR and waits.
Launch plan_start(const Environment& env, std::string_view document);
// Outside a desktop session an address cannot be shown.
Launch plan_explorer(const Environment& env, std::string_view address);

class Launcher {
 public:
  virtual ~Launcher() = default;
  // False when the process could not be started.
  virtual bool launch(const Launch& plan) = 0;
};

// A detached launch runs in its own session with stdio on /dev/null and leaves no zombie; a
// waited one shares this terminal.
class ProcessLauncher : public Launcher {
 public:
  bool launch(const Launch& plan) override;
};

// A path after case-insensitive resolution; st is its lstat when it exists.
struct Resolved {
  std::string path;
  bool exists = false;
  struct stat st {};
};

// Resolves written paths ("\" or "/" between folders) as a case-insensitive file system would.
// Each folder's listing is kept while the folder's stamp is unchanged, so a script of thousands
// of copies into one folder reads that folder once. A change that another process makes to a
// folder within the same clock tick as this process's own change there can go unseen; it only
// affects names written in a different case.
class Resolver {
 public:
  // Each component that does not exist as written becomes the one name in its folder equal to it
  // ignoring ASCII case; if there is none (or several), it and all after it stay as written.
  Resolved resolve(std::string_view written);
  // The same for one name inside a folder already resolved.
  Resolved resolve_in(const std::string& folder, std::string_view name);

  // Bracket a change this process makes to a folder's names, to keep its listing current.
  struct Stamp {
    bool known = false;
    struct stat st {};
  };
  Stamp before_change(const std::string& folder);
  void after_change(const std::string& folder, const Stamp& before, std::string_view name,
                    bool added);

 private:
  struct Listing {
    struct stat st {};
    std::unordered_map<std::string, std::vector<std::string>> by_folded;
  };
  const Listing* listing(const std::string& folder);
  std::unordered_map<std::string, Listing> listings_;
};

// Carries out scripts. Every line runs, whatever the one before did; a failing command says so in
// one line of Chinese naming the file.
class Interpreter {
 public:
  Interpreter(const Environment& env, std::ostream& out, const Charset& charset, Launcher& launcher)
      : env_(env), out_(out), charset_(charset), launcher_(launcher) {}

  // Reads the whole file first, so that a script may delete itself. False, after a message, if
  // it cannot be read.
  bool run_script(std::string_view name);
  // Lines end in CR LF or LF.
  void run_text(std::string_view text, std::string_view script_name);

 private:
  void run_line(std::string_view line, std::string_view script_name);
  void run(const Command& c);
  void say(std::string_view text, std::string_view name = {}, std::string_view more = {});
  void say_errno(int error, std::string_view name);

  void echo(const Command& c);
  void make_dir(const Command& c);
  void remove_dir(const Command& c);
  void copy(const Command& c);
  void del(const Command& c);
  void if_exist(const Command& c);
  void start(const Command& c);
  void explorer(const Command& c);

  bool copy_one(std::string_view src, std::string_view dst);
  bool make_dirs(const std::string& path);
  void delete_named(std::string_view written, bool subfolders, bool force);
  void delete_files_in(const std::string& folder, bool subfolders, bool force);
  bool delete_matching(const std::string& folder, std::string_view name, bool force);
  void delete_file(const std::string& path, const struct stat& st, std::string_view shown,
                   bool force);
  void hand_on(const Launch& plan, std::string_view what);

  const Environment& env_;
  std::ostream& out_;
  const Charset& charset_;
  Launcher& launcher_;
  Resolver resolver_;
  bool echo_on_ = true;
};

}  // namespace kelvaro::standin
