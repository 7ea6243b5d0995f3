#pragma once
// The per-user settings store of application "Orvo3": an INI file whose sections and keys are
// the store's sections and keys. Read-only; read afresh for every print.
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace orvo {

// ORVO_SETTINGS if set, else ${XDG_CONFIG_HOME:-$HOME/.config}/Orvo3/settings.ini.
std::filesystem::path settings_path();

class Settings {
 public:
  Settings() = default;
  // A missing or unreadable file gives an empty store.
  static Settings load(const std::filesystem::path& file);
  static Settings load() { return load(settings_path()); }

  // "" when the section or key is absent.
  std::string get(std::string_view section, std::string_view key) const;
  std::string ip(std::string_view key) const { return get("IP", key); }

 private:
  std::map<std::string, std::map<std::string, std::string, std::less<>>, std::less<>> sections_;
};

}  // namespace orvo
