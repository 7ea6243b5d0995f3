#include "shared/module_loader.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <vector>

#include "shared/errors.h"

#ifndef ORVO_MODULE_BUILD_DIR
#define ORVO_MODULE_BUILD_DIR ""
#endif

namespace orvo {

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> module_dirs() {
  if (const char* env = std::getenv("ORVO_MODULE_DIR"); env && *env) return {env};
  std::vector<fs::path> dirs;
  const auto add = [&dirs](const fs::path& dir) {
    if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(dir);
  };
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) add(self.parent_path());
  // Installed, the modules sit beside this library, wherever the package put it.
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&module_symbol), &info) != 0 && info.dli_fname) {
    const fs::path lib = fs::weakly_canonical(info.dli_fname, ec);
    if (!ec) add(lib.parent_path());
  }
  if (*ORVO_MODULE_BUILD_DIR) add(ORVO_MODULE_BUILD_DIR);
  return dirs;
}

void* load(const std::string& name) {
  std::string looked, reason;
  for (const fs::path& dir : module_dirs()) {
    const fs::path file = dir / name;
    looked += (looked.empty() ? "" : ", ") + dir.string();
    std::error_code ec;
    if (!fs::exists(file, ec)) continue;
    // Never closed: objects the module made (the shared page printer) outlive every caller.
    if (void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
    const char* why = ::dlerror();
    reason = why ? why : "unknown reason";
    break;
  }
  raise(err::kFileNotFound, "cannot load the module " + name + " (looked in " + looked + ")" +
                                (reason.empty() ? ": not found" : ": " + reason));
}

}  // namespace

void* module_symbol(const std::string& name, const char* symbol) {
  static std::mutex mutex;
  static std::map<std::string, void*> loaded;
  const std::lock_guard lock(mutex);
  void*& handle = loaded[name];
  if (!handle) handle = load(name);
  ::dlerror();
  void* address = ::dlsym(handle, symbol);
  if (!address) {
    const char* why = ::dlerror();
    raise(err::kFileNotFound, "the module " + name + " has no " + symbol + ": " +
                                  (why ? why : "null symbol"));
  }
  return address;
}

}  // namespace orvo
