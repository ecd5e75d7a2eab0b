#pragma once
// Runs a shell command line, as a user would start a program, and keeps what it printed.
#include <string>

namespace gv::test {

struct CommandResult {
  int status;          // the exit status, or -1 when the command could not run or was killed
  std::string output;  // standard output (add "2>&1" to the line for standard error too)
};

CommandResult runCommand(const std::string& commandLine);

}  // namespace gv::test
