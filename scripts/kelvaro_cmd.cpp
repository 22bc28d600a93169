// kelvaro-cmd NAME.bat: runs one task script in the current directory, standing in for cmd.exe.
#include <langinfo.h>

#include <clocale>
#include <iostream>

#include "scripts/interpreter.hpp"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  kelvaro::standin::Charset charset(nl_langinfo(CODESET));
  if (argc != 2) {
    std::cout << charset.from_utf8("用法：kelvaro-cmd 脚本.bat") << '\n';
    return 1;
  }
  kelvaro::standin::Environment env = kelvaro::standin::Environment::from_process();
  kelvaro::standin::ProcessLauncher launcher;
  kelvaro::standin::Interpreter interpreter(env, std::cout, charset, launcher);
  // The program never reads the status; 1 only tells a person that the script was not there.
  return interpreter.run_script(argv[1]) ? 0 : 1;
}
