// The command line with which every task script is started.
#include "scripts/runscript.hpp"

namespace kelvaro {

std::string script_command_line(const std::string& name) {
  return "\"" + name + "\"  ";
}

}  // namespace kelvaro
