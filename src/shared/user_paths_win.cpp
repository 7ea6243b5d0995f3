#include <windows.h>

#include <cstdlib>

#include "shared/user_paths.h"

namespace orvo {

namespace {

std::filesystem::path env(const char* name) {
  const std::wstring wide(name, name + std::char_traits<char>::length(name));
  const wchar_t* v = ::_wgetenv(wide.c_str());
  return v != nullptr ? std::filesystem::path(v) : std::filesystem::path();
}

// %LOCALAPPDATA%\Orvo3: the per-user, per-machine place for logs and locks.
std::filesystem::path local_app_data() {
  const auto base = env("LOCALAPPDATA");
  return base.is_absolute() ? base / "Orvo3" : std::filesystem::path();
}

}  // namespace

std::filesystem::path user_file(const char* override_var, const char*, const char*,
                                const char* leaf) {
  if (auto p = env(override_var); !p.empty()) return p;
  const auto dir = local_app_data();
  return dir.empty() ? dir : dir / leaf;
}

std::filesystem::path user_runtime_dir() {
  if (auto dir = local_app_data(); !dir.empty()) return dir / "locks";
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
  return std::filesystem::path(std::wstring(temp, n)) / "Orvo3-locks";
}

}  // namespace orvo
