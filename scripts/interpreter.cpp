// kelvaro-cmd's core: the line parser, path resolution and the commands that task scripts use.
#include "scripts/interpreter.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/sendfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "scripts/codepage.hpp"

extern char** environ;

namespace kelvaro::standin {

namespace {

char fold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string fold(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = fold(c);
  return out;
}

bool same_folded(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return fold(x) == fold(y); });
}

std::string join(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string out = folder;
  if (out.back() != '/') out += '/';
  out += name;
  return out;
}

// The folder a path's last name lives in, spelled as Resolver keys its listings.
std::pair<std::string, std::string> split(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

bool same_stamp(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
         a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

std::vector<std::string> names_in(const std::string& folder) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return names;
  while (dirent* e = readdir(dir.get())) {
    std::string_view n = e->d_name;
    if (n != "." && n != "..") names.emplace_back(n);
  }
  std::sort(names.begin(), names.end());
  return names;
}

const char* errno_text(int error) {
  switch (error) {
    case ENOENT:
      return "系统找不到指定的文件。";
    case ENOTDIR:
      return "系统找不到指定的路径。";
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EISDIR:
    case EBUSY:
      return "拒绝访问。";
    case ENOTEMPTY:
      return "目录不是空的。";
    case ENOSPC:
    case EDQUOT:
      return "磁盘空间不足。";
    case ENAMETOOLONG:
      return "文件名或扩展名太长。";
    default:
      return "操作未能完成。";
  }
}

constexpr std::string_view kCopied1 = "已复制         1 个文件。";
constexpr std::string_view kCopied0 = "已复制         0 个文件。";
constexpr std::string_view kSyntax = "命令语法不正确。";

// The kernel copies within the file system (or shares extents); the fallbacks are for pairs of
// files it cannot do that for.
bool copy_contents(int in, int out) {
  constexpr std::size_t kChunk = std::size_t{1} << 30;
  for (;;) {
    ssize_t n = copy_file_range(in, nullptr, out, nullptr, kChunk, 0);
    if (n > 0) continue;
    if (n == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP && errno != EINVAL &&
        errno != EBADF)
      return false;
    break;
  }
  for (;;) {
    ssize_t n = sendfile(out, in, nullptr, kChunk);
    if (n > 0) continue;
    if (n == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EINVAL && errno != ENOSYS) return false;
    break;
  }
  std::vector<char> buffer(std::size_t{1} << 20);
  for (;;) {
    ssize_t n = read(in, buffer.data(), buffer.size());
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(out, buffer.data() + done, n - done);
      if (w < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += w;
    }
  }
}

bool desktop(const Environment& env) {
  for (std::string_view name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    if (auto v = env.get(name); v && !v->empty()) return true;
  }
  return false;
}

// Only the exist forms are taken; 0 leaves any other if whole, to be refused as bad syntax.
std::size_t condition_length(const std::vector<Word>& args) {
  std::size_t k = !args.empty() && same_folded(args[0].text, "not") ? 1 : 0;
  if (args.size() > k + 2 && same_folded(args[k].text, "exist")) return k + 2;
  return 0;
}

std::vector<Command> build(std::vector<std::vector<Word>> segments, std::size_t from) {
  std::vector<Command> commands;
  for (std::size_t i = from; i < segments.size(); ++i) {
    std::vector<Word>& words = segments[i];
    if (words.empty()) continue;
    Command c;
    c.verb = std::move(words[0].text);
    c.args.assign(std::make_move_iterator(words.begin() + 1), std::make_move_iterator(words.end()));
    std::size_t k = same_folded(c.verb, "if") ? condition_length(c.args) : 0;
    if (k > 0) {
      std::vector<std::vector<Word>> rest;
      rest.emplace_back(std::make_move_iterator(c.args.begin() + k),
                        std::make_move_iterator(c.args.end()));
      for (std::size_t j = i + 1; j < segments.size(); ++j) rest.push_back(std::move(segments[j]));
      c.args.resize(k);
      c.body = build(std::move(rest), 0);
      commands.push_back(std::move(c));
      return commands;
    }
    commands.push_back(std::move(c));
  }
  return commands;
}

}  // namespace

Environment Environment::from_process() {
  Environment env;
  for (char** e = environ; e && *e; ++e) {
    std::string_view entry = *e;
    std::size_t eq = entry.find('=');
    if (eq != std::string_view::npos)
      env.vars_.emplace_back(entry.substr(0, eq), entry.substr(eq + 1));
  }
  return env;
}

std::optional<std::string_view> Environment::get(std::string_view name) const {
  const std::string* folded_match = nullptr;
  for (const auto& [k, v] : vars_) {
    if (k == name) return v;
    if (!folded_match && same_folded(k, name)) folded_match = &v;
  }
  if (folded_match) return *folded_match;
  if (same_folded(name, "userprofile")) return get("HOME");
  return std::nullopt;
}

bool ParsedLine::runnable() const {
  return operators.find_first_of("|<>") == std::string::npos && !dangling_caret && !empty_command;
}

std::string expand(std::string_view line, const Environment& env, std::string_view script) {
  std::string out;
  out.reserve(line.size());
  for (std::size_t i = 0; i < line.size();) {
    char c = line[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    char next = i + 1 < line.size() ? line[i + 1] : '\0';
    if (next == '%') {
      out += '%';
      i += 2;
    } else if (next >= '0' && next <= '9') {
      if (next == '0') out += script;
      i += 2;
    } else if (next == '*') {
      i += 2;
    } else if (std::size_t close = line.find('%', i + 1); close != std::string_view::npos) {
      if (auto value = env.get(line.substr(i + 1, close - i - 1))) out += *value;
      i = close + 1;
    } else {
      ++i;
    }
  }
  return out;
}

// The file calls end a name at its first NUL, so with one inside, a path would reach the file
// named by its front part: "victim" for "victim<NUL>x.wps". An empty path exists nowhere.
static bool names_no_file(std::string_view written) {
  return written.find('\0') != std::string_view::npos;
}

// Backslashes become slashes, but not the trail byte of a two-byte character.
static std::string with_slashes(std::string_view written) {
  std::string w(written);
  for (std::size_t i = 0; i < w.size(); i += char_length(w, i)) {
    if (w[i] == '\\') w[i] = '/';
  }
  return w;
}

ParsedLine parse_line(std::string_view line, const Environment& env, std::string_view script) {
  ParsedLine p;
  p.expanded = expand(line, env, script);
  const std::string& s = p.expanded;
  std::vector<std::vector<Word>> segments(1);
  Word word;
  bool in_word = false;
  bool in_quotes = false;
  auto finish_word = [&] {
    if (in_word) segments.back().push_back(std::move(word));
    word = Word{};
    in_word = false;
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (char_length(s, i) == 2) {
      // A two-byte character: its trail byte may look like ^ or |, but is never a sign.
      word.text.append(s, i, 2);
      in_word = true;
      ++i;
      continue;
    }
    if (in_quotes) {
      if (c == '"')
        in_quotes = false;
      else
        word.text += c;
      continue;
    }
    switch (c) {
      case '"':
        in_quotes = true;
        word.quoted = true;
        in_word = true;
        break;
      case '^':
        if (i + 1 < s.size()) {
          word.text += s[++i];
          in_word = true;
        } else {
          p.dangling_caret = true;
        }
        break;
      case ' ':
      case '\t':
        finish_word();
        break;
      case '&':
      case '|':
      case '<':
      case '>':
        finish_word();
        p.operators += c;
        if (c == '&') segments.emplace_back();
        break;
      case '@':
        if (!in_word && segments.back().empty()) {
          if (segments.size() == 1) p.quiet = true;
          break;
        }
        [[fallthrough]];
      default:
        word.text += c;
        in_word = true;
    }
  }
  finish_word();
  if (segments.size() > 1) {
    p.empty_command = std::any_of(segments.begin(), segments.end(),
                                  [](const std::vector<Word>& w) { return w.empty(); });
  }
  p.commands = build(std::move(segments), 0);
  return p;
}

Charset::Charset(std::string_view codeset) {
  std::string name;
  for (char c : codeset) {
    if (c != '-' && c != '_') name += fold(c);
  }
  if (name != "utf8") cd_ = iconv_open(std::string(codeset).c_str(), "UTF-8");
}

Charset::~Charset() {
  if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
}

std::string Charset::from_utf8(std::string_view text) const {
  if (cd_ == reinterpret_cast<iconv_t>(-1) || text.empty()) return std::string(text);
  iconv(cd_, nullptr, nullptr, nullptr, nullptr);
  std::string out(text.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t in_left = text.size();
  std::size_t used = 0;
  for (;;) {
    char* dst = out.data() + used;
    std::size_t dst_left = out.size() - used;
    std::size_t r = iconv(cd_, in_left ? &in : nullptr, &in_left, &dst, &dst_left);
    used = out.size() - dst_left;
    if (r != static_cast<std::size_t>(-1)) {
      if (in_left == 0) break;
      continue;
    }
    if (errno != E2BIG) return std::string(text);
    out.resize(out.size() * 2);
  }
  out.resize(used);
  return out;
}

Launch plan_start(const Environment& env, std::string_view document) {
  // A leading "-" would be read as an option by the opener.
  std::string doc =
      document.starts_with('-') ? "./" + std::string(document) : std::string(document);
  if (desktop(env)) return {Launch::Mode::detached, {"xdg-open", doc}};
  for (std::string_view name : {"VISUAL", "EDITOR"}) {
    if (auto editor = env.get(name); editor && !editor->empty()) {
      // The editor setting may carry arguments and is shell words by convention; the document
      // goes in as "$1" so that its bytes are never parsed.
      return {Launch::Mode::wait, {"/bin/sh", "-c", std::string(*editor) + " \"$1\"", "sh", doc}};
    }
  }
  return {};
}

Launch plan_explorer(const Environment& env, std::string_view address) {
  if (desktop(env)) return {Launch::Mode::detached, {"xdg-open", std::string(address)}};
  return {};
}

bool ProcessLauncher::launch(const Launch& plan) {
  if (plan.mode == Launch::Mode::none || plan.argv.empty()) return false;
  std::vector<char*> argv;
  for (const std::string& a : plan.argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  if (plan.mode == Launch::Mode::detached) {
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
      setsid();
      int null = open("/dev/null", O_RDWR);
      if (null >= 0) {
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
      }
      // The grandchild is adopted by init, so nobody has to wait for the opener.
      pid_t opener = fork();
      if (opener == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
      }
      _exit(opener < 0 ? 1 : 0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  // Like system(): a Ctrl-C while the editor runs is the editor's, not a reason to end the script.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction old_int {};
  struct sigaction old_quit {};
  sigaction(SIGINT, &ignore, &old_int);
  sigaction(SIGQUIT, &ignore, &old_quit);
  pid_t child = fork();
  if (child == 0) {
    sigaction(SIGINT, &old_int, nullptr);
    sigaction(SIGQUIT, &old_quit, nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (child > 0) {
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  sigaction(SIGINT, &old_int, nullptr);
  sigaction(SIGQUIT, &old_quit, nullptr);
  return child > 0;
}

const Resolver::Listing* Resolver::listing(const std::string& folder) {
  struct stat st {};
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    listings_.erase(folder);
    return nullptr;
  }
  auto it = listings_.find(folder);
  if (it != listings_.end() && same_stamp(it->second.st, st)) return &it->second;
  // Stamped before reading, so a change made while reading shows as a new stamp next time.
  Listing fresh;
  fresh.st = st;
  for (std::string& name : names_in(folder)) fresh.by_folded[fold(name)].push_back(std::move(name));
  return &(listings_[folder] = std::move(fresh));
}

Resolved Resolver::resolve_in(const std::string& folder, std::string_view name) {
  if (names_no_file(name)) return {};
  Resolved r;
  r.path = join(folder, name);
  if (lstat(r.path.c_str(), &r.st) == 0) {
    r.exists = true;
    return r;
  }
  if (name.empty() || name == "." || name == "..") return r;
  const Listing* l = listing(folder.empty() ? "." : folder);
  if (!l) return r;
  auto it = l->by_folded.find(fold(name));
  if (it == l->by_folded.end() || it->second.size() != 1) return r;
  Resolved found;
  found.path = join(folder, it->second.front());
  found.exists = lstat(found.path.c_str(), &found.st) == 0;
  return found.exists ? found : r;
}

Resolved Resolver::resolve(std::string_view written) {
  if (names_no_file(written)) return {};
  std::string w = with_slashes(written);
  Resolved r;
  r.path = w.starts_with('/') ? "/" : "";
  bool resolving = true;
  for (std::size_t pos = 0; pos <= w.size();) {
    std::size_t slash = std::min(w.find('/', pos), w.size());
    std::string_view name = std::string_view(w).substr(pos, slash - pos);
    pos = slash + 1;
    if (name.empty()) continue;
    if (resolving) {
      r = resolve_in(r.path, name);
      resolving = r.exists;
    } else {
      r.path = join(r.path, name);
    }
  }
  if (r.path == "/") r.exists = lstat("/", &r.st) == 0;
  return r;
}

Resolver::Stamp Resolver::before_change(const std::string& folder) {
  Stamp s;
  auto it = listings_.find(folder);
  if (it != listings_.end() && stat(folder.c_str(), &s.st) == 0)
    s.known = same_stamp(it->second.st, s.st);
  return s;
}

void Resolver::after_change(const std::string& folder, const Stamp& before, std::string_view name,
                            bool added) {
  auto it = listings_.find(folder);
  if (it == listings_.end()) return;
  struct stat now {};
  if (!before.known || stat(folder.c_str(), &now) != 0) {
    listings_.erase(it);
    return;
  }
  std::vector<std::string>& same = it->second.by_folded[fold(name)];
  auto at = std::find(same.begin(), same.end(), name);
  if (added && at == same.end()) same.emplace_back(name);
  if (!added && at != same.end()) same.erase(at);
  if (same.empty()) it->second.by_folded.erase(fold(name));
  it->second.st = now;
}

bool Interpreter::run_script(std::string_view name) {
  Resolved r = resolver_.resolve(name);
  std::string text;
  int fd = open(r.path.c_str(), O_RDONLY | O_CLOEXEC);
  bool ok = fd >= 0;
  if (ok) {
    char buffer[1 << 16];
    for (;;) {
      ssize_t n = read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok = n == 0;
        break;
      }
      text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
  }
  if (!ok) {
    say("找不到批处理文件 ", name, "。");
    return false;
  }
  run_text(text, name);
  return true;
}

void Interpreter::run_text(std::string_view text, std::string_view script_name) {
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = std::min(text.find('\n', start), text.size());
    std::string_view line = text.substr(start, end - start);
    while (line.ends_with('\r')) line.remove_suffix(1);
    run_line(line, script_name);
    start = end + 1;
  }
  out_.flush();
}

void Interpreter::run_line(std::string_view line, std::string_view script_name) {
  ParsedLine p = parse_line(line, env_, script_name);
  if (p.commands.empty() && p.runnable()) return;
  if (echo_on_ && !p.quiet) {
    char cwd[4096];
    out_ << '\n' << (getcwd(cwd, sizeof cwd) ? cwd : "") << '>' << p.expanded << '\n';
  }
  if (std::size_t op = p.operators.find_first_of("|<>"); op != std::string::npos) {
    say("此行含有不支持的管道或重定向符号 ", p.operators.substr(op, 1), "，未执行。");
  } else if (p.dangling_caret) {
    say("此行以 ^ 结尾，未执行。");
  } else if (p.empty_command) {
    say("此时不应有 &。");
  } else {
    for (const Command& c : p.commands) run(c);
  }
}

void Interpreter::run(const Command& c) {
  std::string verb = fold(c.verb);
  if (verb == "echo") {
    echo(c);
  } else if (verb == "md" || verb == "mkdir") {
    make_dir(c);
  } else if (verb == "rd" || verb == "rmdir") {
    remove_dir(c);
  } else if (verb == "copy") {
    copy(c);
  } else if (verb == "del" || verb == "erase") {
    del(c);
  } else if (verb == "if") {
    if_exist(c);
  } else if (verb == "start") {
    start(c);
  } else if (verb == "explorer") {
    explorer(c);
  } else {
    say("'", c.verb, "' 不是内部或外部命令，也不是可运行的程序或批处理文件。");
  }
}

void Interpreter::say(std::string_view text, std::string_view name, std::string_view more) {
  out_ << charset_.from_utf8(text) << name << charset_.from_utf8(more) << '\n';
}

void Interpreter::say_errno(int error, std::string_view name) {
  say(std::string(errno_text(error)) + " - ", name);
}

void Interpreter::echo(const Command& c) {
  if (c.args.empty()) {
    say(echo_on_ ? "ECHO 处于打开状态。" : "ECHO 处于关闭状态。");
  } else if (c.args.size() == 1 && same_folded(c.args[0].text, "off")) {
    echo_on_ = false;
  } else if (c.args.size() == 1 && same_folded(c.args[0].text, "on")) {
    echo_on_ = true;
  } else {
    for (std::size_t i = 0; i < c.args.size(); ++i) out_ << (i ? " " : "") << c.args[i].text;
    out_ << '\n';
  }
}

bool Interpreter::make_dirs(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) {
    errno = ENOTDIR;
    return S_ISDIR(st.st_mode);
  }
  auto [parent, name] = split(path);
  if (!make_dirs(parent)) return false;
  Resolver::Stamp before = resolver_.before_change(parent);
  if (mkdir(path.c_str(), 0777) != 0) return false;
  resolver_.after_change(parent, before, name, true);
  return true;
}

void Interpreter::make_dir(const Command& c) {
  if (c.args.empty()) return say(kSyntax);
  for (const Word& a : c.args) {
    Resolved r = resolver_.resolve(a.text);
    if (r.exists)
      say("子目录或文件 ", a.text, " 已经存在。");
    else if (r.path.empty() || !make_dirs(r.path))
      say_errno(r.path.empty() ? ENOENT : errno, a.text);
  }
}

void Interpreter::remove_dir(const Command& c) {
  if (c.args.empty()) return say(kSyntax);
  for (const Word& a : c.args) {
    Resolved r = resolver_.resolve(a.text);
    if (!r.exists) {
      say_errno(ENOENT, a.text);
      continue;
    }
    if (!S_ISDIR(r.st.st_mode)) {
      say("目录名称无效。 - ", a.text);
      continue;
    }
    auto [parent, name] = split(r.path);
    Resolver::Stamp before = resolver_.before_change(parent);
    if (rmdir(r.path.c_str()) == 0)
      resolver_.after_change(parent, before, name, false);
    else
      say_errno(errno == EEXIST ? ENOTEMPTY : errno, a.text);
  }
}

void Interpreter::copy(const Command& c) {
  std::vector<std::string_view> paths;
  for (const Word& a : c.args) {
    if (!same_folded(a.text, "/y") && !same_folded(a.text, "/b")) paths.push_back(a.text);
  }
  if (paths.empty() || paths.size() > 2) return say(kSyntax);
  bool ok = copy_one(paths[0], paths.size() == 2 ? paths[1] : ".");
  say(ok ? kCopied1 : kCopied0);
}

bool Interpreter::copy_one(std::string_view src, std::string_view dst) {
  Resolved s = resolver_.resolve(src);
  struct stat sst {};
  if (!s.exists || stat(s.path.c_str(), &sst) != 0 || !S_ISREG(sst.st_mode)) {
    say_errno(ENOENT, src);
    return false;
  }
  Resolved d = resolver_.resolve(dst);
  struct stat tst {};
  if (d.exists && stat(d.path.c_str(), &tst) == 0 && S_ISDIR(tst.st_mode))
    d = resolver_.resolve_in(d.path, split(s.path).second);
  const std::string& target = d.path;
  bool existed = stat(target.c_str(), &tst) == 0;
  if (existed && tst.st_dev == sst.st_dev && tst.st_ino == sst.st_ino) {
    say("文件无法复制到它自身。 - ", src);
    return false;
  }
  // The write bit stands for the Windows read-only attribute, which stops copy even for root.
  if (existed && !S_ISDIR(tst.st_mode) && !(tst.st_mode & S_IWUSR)) {
    say_errno(EACCES, target);
    return false;
  }
  int in = open(s.path.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    say_errno(errno, src);
    return false;
  }
  auto [parent, name] = split(target);
  Resolver::Stamp before = resolver_.before_change(parent);
  int out =
      target.empty() ? -1 : open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  // A new file that cannot be created for want of a folder is a missing path, as copy says.
  int error = target.empty() || errno == ENOENT ? ENOTDIR : errno;
  if (out < 0) {
    close(in);
    say_errno(error, target);
    return false;
  }
  if (!existed) resolver_.after_change(parent, before, name, true);
  bool ok = copy_contents(in, out);
  error = errno;
  close(in);
  if (close(out) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    // Like the real copy, a failed copy leaves no half-written new file.
    if (!existed && unlink(target.c_str()) == 0)
      resolver_.after_change(parent, before, name, false);
    say_errno(error, target);
  }
  return ok;
}

void Interpreter::del(const Command& c) {
  bool subfolders = false;
  bool force = false;
  std::vector<std::string_view> names;
  for (const Word& a : c.args) {
    if (same_folded(a.text, "/s"))
      subfolders = true;
    else if (same_folded(a.text, "/f"))
      force = true;
    else if (!same_folded(a.text, "/q"))
      names.push_back(a.text);
  }
  if (names.empty()) return say(kSyntax);
  for (std::string_view n : names) delete_named(n, subfolders, force);
}

void Interpreter::delete_named(std::string_view written, bool subfolders, bool force) {
  Resolved r = resolver_.resolve(written);
  if (r.exists && S_ISDIR(r.st.st_mode)) return delete_files_in(r.path, subfolders, force);
  if (!subfolders) {
    if (r.exists)
      delete_file(r.path, r.st, written, force);
    else
      say("找不到 ", written);
    return;
  }
  std::string w = with_slashes(written);
  std::size_t slash = w.rfind('/');
  std::string name = slash == std::string::npos ? w : w.substr(slash + 1);
  std::string folder = ".";
  if (slash == 0) {
    folder = "/";
  } else if (slash != std::string::npos) {
    Resolved f = resolver_.resolve(std::string_view(w).substr(0, slash));
    folder = f.path;
  }
  struct stat st {};
  bool is_folder = stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (name.empty() || !is_folder || !delete_matching(folder, name, force)) say("找不到 ", written);
}

void Interpreter::delete_files_in(const std::string& folder, bool subfolders, bool force) {
  for (const std::string& name : names_in(folder)) {
    std::string path = join(folder, name);
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) continue;
    if (!S_ISDIR(st.st_mode))
      delete_file(path, st, path, force);
    else if (subfolders)
      delete_files_in(path, true, force);
  }
}

// Symbolic links are never followed below the named folder, so /s cannot reach outside it.
bool Interpreter::delete_matching(const std::string& folder, std::string_view name, bool force) {
  bool found = false;
  Resolved r = resolver_.resolve_in(folder, name);
  if (r.exists && !S_ISDIR(r.st.st_mode)) {
    found = true;
    delete_file(r.path, r.st, r.path, force);
  }
  for (const std::string& entry : names_in(folder)) {
    std::string path = join(folder, entry);
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      found = delete_matching(path, name, force) || found;
  }
  return found;
}

// The write bit stands for the Windows read-only attribute: checked here, so root obeys it too.
void Interpreter::delete_file(const std::string& path, const struct stat& st,
                              std::string_view shown, bool force) {
  if (!force && !S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR)) return say_errno(EACCES, shown);
  auto [parent, name] = split(path);
  Resolver::Stamp before = resolver_.before_change(parent);
  if (unlink(path.c_str()) == 0)
    resolver_.after_change(parent, before, name, false);
  else
    say_errno(errno, shown);
}

void Interpreter::if_exist(const Command& c) {
  if (c.body.empty()) return say(kSyntax);
  bool negated = c.args.size() == 3;
  if (resolver_.resolve(c.args.back().text).exists != negated) {
    for (const Command& b : c.body) run(b);
  }
}

void Interpreter::hand_on(const Launch& plan, std::string_view what) {
  out_.flush();
  if (!launcher_.launch(plan)) say("无法打开 ", what, "。");
}

void Interpreter::start(const Command& c) {
  std::size_t first = c.args.size() >= 2 && c.args[0].quoted ? 1 : 0;
  if (c.args.size() <= first) return say(kSyntax);
  std::string_view doc = c.args[first].text;
  Resolved r = resolver_.resolve(doc);
  if (!r.exists) return say("系统找不到文件 ", doc, "。");
  Launch plan = plan_start(env_, r.path);
  if (plan.mode == Launch::Mode::none)
    return say("无法打开 ", doc, "：没有桌面，也没有设置 VISUAL 或 EDITOR。");
  hand_on(plan, doc);
}

void Interpreter::explorer(const Command& c) {
  if (c.args.empty()) return say(kSyntax);
  std::string_view address = c.args[0].text;
  Launch plan = plan_explorer(env_, address);
  if (plan.mode == Launch::Mode::none) return say("无法打开 ", address, "：没有桌面。");
  hand_on(plan, address);
}

}  // namespace kelvaro::standin
