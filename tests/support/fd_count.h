#pragma once
// How many descriptors the process holds, to catch one left open on an error path.
#include <filesystem>

namespace orvo::testing {

inline int open_fd_count() {
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

}  // namespace orvo::testing
