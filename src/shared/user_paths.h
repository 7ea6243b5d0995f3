#pragma once
// Per-user file locations: an override variable, else an XDG base directory, else under $HOME.
#include <filesystem>

namespace orvo {

// `$override_var` when set and non-empty; else `$xdg_var/Orvo3/leaf` when that is absolute;
// else `$HOME/home_fallback/Orvo3/leaf`; empty when there is no home either.
std::filesystem::path user_file(const char* override_var, const char* xdg_var,
                                const char* home_fallback, const char* leaf);

}  // namespace orvo
