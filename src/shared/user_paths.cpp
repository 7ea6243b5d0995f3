#include "shared/user_paths.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace orvo {

namespace {
std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}
}  // namespace

std::filesystem::path user_file(const char* override_var, const char* xdg_var,
                                const char* home_fallback, const char* leaf) {
  if (auto p = env(override_var); !p.empty()) return p;
  std::filesystem::path base = env(xdg_var);
  if (base.empty() || !base.is_absolute()) {
    const auto home = env("HOME");
    if (home.empty()) return {};
    base = std::filesystem::path(home) / home_fallback;
  }
  return base / "Orvo3" / leaf;
}

std::filesystem::path user_runtime_dir() {
  const std::filesystem::path base = env("XDG_RUNTIME_DIR");
  if (base.is_absolute()) return base / "Orvo3";
  return std::filesystem::path("/tmp") / ("Orvo3-" + std::to_string(::geteuid()));
}

}  // namespace orvo
