#pragma once
// The per-user settings store of application "Orvo3": a UTF-8 INI file whose sections and keys are
// the store's sections and keys, matched without regard to case as the registry they stand for.
// Read-only; read afresh for every print.
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace orvo {

// ORVO_SETTINGS if set, else ${XDG_CONFIG_HOME:-$HOME/.config}/Orvo3/settings.ini.
std::filesystem::path settings_path();

// Where warnings about settings that cannot be used go. The default writes each distinct warning
// once per process to stderr; a host may take them instead.
using SettingsWarningSink = std::function<void(const std::string&)>;
void set_settings_warning_sink(SettingsWarningSink sink);

class Settings {
 public:
  Settings() = default;
  // A missing or unreadable file gives an empty store.
  static Settings load(const std::filesystem::path& file);
  // A file someone named: missing or unreadable raises 53 (not found), 70 (permission) or 75,
  // naming the file.
  static Settings load_named(const std::filesystem::path& file);
  // ORVO_SETTINGS is a named file; only the default location may be absent.
  static Settings load();

  // "" when the section or key is absent. A value that is not UTF-8 counts as absent (warned).
  std::string get(std::string_view section, std::string_view key) const;
  std::string ip(std::string_view key) const { return get("IP", key); }

  // A number of seconds above 0 (decimals allowed, at most a day), else `fallback`; a value that
  // is set but unusable is warned about, naming the key and the fallback.
  std::chrono::milliseconds seconds(std::string_view section, std::string_view key,
                                    std::chrono::milliseconds fallback) const;
  // A whole number above 0, else `fallback`, warned about as above.
  int count(std::string_view section, std::string_view key, int fallback) const;

 private:
  static Settings parse(const std::filesystem::path& file, bool named);
  void warn(std::string_view section, std::string_view key, std::string_view why,
            std::string_view used) const;

  std::filesystem::path file_;
  std::map<std::string, std::map<std::string, std::string, std::less<>>, std::less<>> sections_;
};

}  // namespace orvo
