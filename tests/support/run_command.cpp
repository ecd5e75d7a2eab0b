#include "support/run_command.h"

#include <cstdio>
#include <sys/wait.h>

namespace gv::test {

CommandResult runCommand(const std::string& commandLine) {
  CommandResult result{-1, ""};
  std::FILE* pipe = popen(commandLine.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, got);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace gv::test
