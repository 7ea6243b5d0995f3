#pragma once
// Per-user file locations: an override variable, else an XDG base directory, else under $HOME.
#include <filesystem>

namespace orvo {

// `$override_var` when set and non-empty; else `$xdg_var/Orvo3/leaf` when that is absolute;
// else `$HOME/home_fallback/Orvo3/leaf`; empty when there is no home either.
std::filesystem::path user_file(const char* override_var, const char* xdg_var,
                                const char* home_fallback, const char* leaf);

// Where this user's runtime files (port locks) live: $XDG_RUNTIME_DIR/Orvo3 when that is an
// absolute path, else /tmp/Orvo3-UID. Not created here.
std::filesystem::path user_runtime_dir();

}  // namespace orvo
