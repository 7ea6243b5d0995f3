#pragma once
// Runs the real orvo-invoice in a directory of the test's, stdout and stderr captured there as
// TAG.stdout and TAG.stderr. Runs can overlap (start, then finish), for concurrent prints and
// signals.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace orvo::testing {

// A command line as typed, split at spaces (no argument here holds one).
inline std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

struct Outcome {
  int status = -1;  // the exit status, or 128 + the signal that ended the process
  std::string out;
  std::string err;
};

struct Tool {
  std::filesystem::path dir;          // the working directory
  std::vector<std::string> env = {};  // NAME=VALUE, over the inherited value
  std::string in = "/dev/null";
  std::string tag = "";
  std::filesystem::path program = std::filesystem::path(ORVO_BIN_DIR) / "orvo-invoice";

  pid_t start(std::vector<std::string> args) const {
    args.insert(args.begin(), program.string());
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    // Ours first: the first of a name counts.
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    for (char** e = environ; *e; ++e) envp.push_back(*e);
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const std::string out = (dir / (tag + ".stdout")).string();
    const std::string err = (dir / (tag + ".stderr")).string();
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int fds[] = {::open(in.c_str(), O_RDONLY),
                         ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
                         ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)};
      for (int fd = 0; fd < 3; ++fd) ::dup2(fds[fd], fd);
      if (::chdir(dir.c_str()) == 0) ::execve(argv[0], argv.data(), envp.data());
      ::_exit(127);
    }
    return pid;
  }

  Outcome finish(pid_t pid) const {
    int ws = 0;
    if (pid < 0 || ::waitpid(pid, &ws, 0) != pid) return {};
    return {WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws),
            read_file(dir / (tag + ".stdout")), read_file(dir / (tag + ".stderr"))};
  }

  Outcome run(const std::vector<std::string>& args) const { return finish(start(args)); }
};

}  // namespace orvo::testing
