#include "platform/file_dialog.h"

#include "platform/process.h"

#include <cstdlib>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace gv::platform {
namespace {

bool onPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string dirs = path;
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start) + "/" + program;
    if (end > start && access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

std::string spaceSeparated(const char* patterns) {
  std::string text = patterns;
  for (char& c : text)
    if (c == ';') c = ' ';
  return text;
}

std::vector<std::string> zenityArguments(const char* title, const std::vector<FileFilter>& filters) {
  std::vector<std::string> args = {"zenity", "--file-selection", std::string("--title=") + title};
  for (const FileFilter& f : filters)
    args.push_back(std::string("--file-filter=") + f.label + " | " + spaceSeparated(f.patterns));
  return args;
}

std::vector<std::string> kdialogArguments(const char* title, const std::vector<FileFilter>& filters) {
  std::string filterText;
  for (const FileFilter& f : filters) {
    if (!filterText.empty()) filterText += "\n";
    filterText += spaceSeparated(f.patterns) + "|" + f.label;
  }
  return {"kdialog", "--title", title, "--getopenfilename", ".", filterText};
}

// Runs a program without a shell and returns its standard output, or nothing when it failed
// (a dialog's cancel is a non-zero exit).
std::optional<std::string> runForOutput(const std::vector<std::string>& args) {
  int fds[2];
  if (pipe(fds) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  std::string output;
  if (spawned == 0) {
    char buffer[512];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<std::size_t>(n));
  }
  close(fds[0]);
  if (spawned != 0) return std::nullopt;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  return output;
}

bool isExistingFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool fileDialogAvailable() {
  return hasDisplay() && (onPath("zenity") || onPath("kdialog"));
}

std::optional<std::string> openFileDialog(const char* title, const std::vector<FileFilter>& filters) {
  if (!hasDisplay()) return std::nullopt;
  std::optional<std::string> chosen;
  if (onPath("zenity"))
    chosen = runForOutput(zenityArguments(title, filters));
  else if (onPath("kdialog"))
    chosen = runForOutput(kdialogArguments(title, filters));
  if (!chosen || chosen->empty() || chosen->size() > kMaxPath || !isExistingFile(*chosen)) return std::nullopt;
  if (chosen->front() == '/') return chosen;
  char* absolute = realpath(chosen->c_str(), nullptr);
  if (!absolute) return std::nullopt;
  std::string result = absolute;
  std::free(absolute);
  return result;
}

}  // namespace gv::platform
