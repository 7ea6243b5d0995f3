#pragma once
// Times the whole orvo-invoice process beside the benchmark program, one run per iteration.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace orvo::bench {

// `args` follow the program name. Adds "process_cpu_ms", the processes' own CPU time: the wall
// time also holds waiting for a busy machine's cores.
inline void time_tool(benchmark::State& state, std::vector<std::string> args) {
  const std::string tool =
      std::filesystem::read_symlink("/proc/self/exe").parent_path() / "orvo-invoice";
  args.insert(args.begin(), tool);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto children_cpu = [] {
    rusage u{};
    ::getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
  };
  const double cpu_before = children_cpu();
  for (auto _ : state) {
    pid_t pid = 0;
    int status = -1;
    if (::posix_spawn(&pid, tool.c_str(), nullptr, nullptr, argv.data(), environ) != 0 ||
        ::waitpid(pid, &status, 0) != pid || status != 0) {
      state.SkipWithError(("cannot run " + tool).c_str());
      return;
    }
  }
  state.counters["process_cpu_ms"] =
      (children_cpu() - cpu_before) * 1e3 / static_cast<double>(state.iterations());
}

}  // namespace orvo::bench
