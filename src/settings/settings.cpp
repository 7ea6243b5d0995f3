#include "settings/settings.h"

#include <fcntl.h>
#include <ini.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <system_error>

#include "shared/errors.h"
#include "shared/unique_fd.h"
#include "shared/user_paths.h"
#include "shared/utf8.h"

namespace orvo {

namespace {

constexpr double kMaxSeconds = 24 * 60 * 60;

// Names are ASCII in practice; folding only ASCII keeps UTF-8 names intact.
std::string fold(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

void write_stderr_once(const std::string& message) {
  static std::mutex mutex;
  static std::set<std::string> seen;
  const std::lock_guard lock(mutex);
  if (!seen.insert(message).second) return;
  std::fprintf(stderr, "%s\n", message.c_str());
}

SettingsWarningSink& warning_sink() {
  static SettingsWarningSink sink = write_stderr_once;
  return sink;
}

std::string seconds_text(double s) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", s);
  return buf;
}

struct LineSource {
  std::ifstream in;
  std::string line;
};

// Debian's inih parses into a fixed 200-byte buffer: whatever does not fit is parsed as a line of
// its own (a long value would turn its tail into a bogus key), and an indented line continues the
// previous value (an indented key would overwrite its neighbour). So inih gets whole lines only,
// without leading blanks; a line too long for it is replaced by one it rejects, and is skipped.
char* read_line(char* buf, int size, void* stream) {
  auto& src = *static_cast<LineSource*>(stream);
  if (!std::getline(src.in, src.line)) return nullptr;
  std::string_view line = src.line;
  line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
  // Holds neither '=' nor ':', so inih reports a syntax error and moves on.
  static constexpr std::string_view kRejected = "\x01";
  if (size < 0 || line.size() + 2 > static_cast<std::size_t>(size)) line = kRejected;  // '\n', NUL
  std::memcpy(buf, line.data(), line.size());
  buf[line.size()] = '\n';
  buf[line.size() + 1] = '\0';
  return buf;
}

// Numbers the reason a named file cannot be read, as opening a missing file does.
[[noreturn]] void unreadable(const std::filesystem::path& file, int errnum) {
  constexpr std::int32_t kPathFileAccess = 75;
  const std::int32_t number = errnum == ENOENT || errnum == ENOTDIR ? err::kFileNotFound
                              : errnum == EACCES || errnum == EPERM ? err::kPermissionDenied
                                                                    : kPathFileAccess;
  raise(number, "settings file " + file.string() +
                    ": cannot read: " + std::generic_category().message(errnum));
}

}  // namespace

#ifndef _WIN32  // the registry on Windows: settings_registry_win.cpp
std::filesystem::path settings_path() {
  return user_file("ORVO_SETTINGS", "XDG_CONFIG_HOME", ".config", "settings.ini");
}
#endif

void set_settings_warning_sink(SettingsWarningSink sink) {
  warning_sink() = sink ? std::move(sink) : SettingsWarningSink(write_stderr_once);
}

Settings Settings::parse(const std::filesystem::path& file, bool named) {
  Settings s;
  s.file_ = file;
  if (file.empty()) return s;
  if (named) {
    // A directory opens as a stream but reads nothing; read(2) tells.
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    char probe;
    if (fd.get() < 0 || ::read(fd.get(), &probe, 1) < 0) unreadable(file, errno);
  }
  LineSource src;
  src.in.open(file, std::ios::binary);
  if (!src.in) return s;
  auto handler = [](void* user, const char* section, const char* name, const char* value) -> int {
    if (value == nullptr) return 1;
    auto& self = *static_cast<Settings*>(user);
    const std::string_view text(value);
    if (const auto bad = utf8::first_invalid(text); bad != std::string_view::npos) {
      char why[96];
      std::snprintf(why, sizeof why, "is not UTF-8 text (byte 0x%02X at offset %zu of the value)",
                    static_cast<unsigned>(static_cast<unsigned char>(text[bad])), bad);
      self.warn(section, name, why, "\"\" (as if unset)");
      return 1;
    }
    auto& keys = self.sections_[fold(section)];
    keys.insert_or_assign(fold(name), std::string(value));
    return 1;
  };
  // Lines with a syntax error are skipped; the rest of the file still counts.
  ini_parse_stream(read_line, &src, handler, &s);
  return s;
}

Settings Settings::load(const std::filesystem::path& file) { return parse(file, false); }

Settings Settings::load_named(const std::filesystem::path& file) { return parse(file, true); }

#ifndef _WIN32
Settings Settings::load() {
  const char* named = std::getenv("ORVO_SETTINGS");
  return parse(settings_path(), named != nullptr && *named != '\0');
}
#endif

std::string Settings::get(std::string_view section, std::string_view key) const {
  auto sec = sections_.find(fold(section));
  if (sec == sections_.end()) return {};
  auto val = sec->second.find(fold(key));
  return val == sec->second.end() ? std::string() : val->second;
}

void Settings::warn(std::string_view section, std::string_view key, std::string_view why,
                    std::string_view used) const {
  warning_sink()("warning: settings " + file_.string() + ": [" + std::string(section) + "] " +
                 std::string(key) + " " + std::string(why) + "; using " + std::string(used));
}

std::chrono::milliseconds Settings::seconds(std::string_view section, std::string_view key,
                                            std::chrono::milliseconds fallback) const {
  const std::string raw = get(section, key);
  const std::string_view text = trim(raw);
  if (text.empty()) return fallback;
  // Digits with an optional decimal part: no sign, no exponent, no unit.
  const std::size_t dot = text.find('.');
  const auto digits = [](std::string_view d) {
    return !d.empty() && d.find_first_not_of("0123456789") == std::string_view::npos;
  };
  const bool shaped = dot == std::string_view::npos
                          ? digits(text)
                          : digits(text.substr(0, dot)) && digits(text.substr(dot + 1));
  double value = 0;
  if (shaped) std::from_chars(text.data(), text.data() + text.size(), value);
  const auto ms = std::llround(value * 1000);
  if (!shaped || ms <= 0 || value > kMaxSeconds) {
    warn(section, key, "= \"" + raw + "\" is not a number of seconds above 0 and at most a day",
         seconds_text(std::chrono::duration<double>(fallback).count()));
    return fallback;
  }
  return std::chrono::milliseconds(ms);
}

int Settings::count(std::string_view section, std::string_view key, int fallback) const {
  const std::string raw = get(section, key);
  const std::string_view text = trim(raw);
  if (text.empty()) return fallback;
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value <= 0) {
    warn(section, key, "= \"" + raw + "\" is not a whole number above 0",
         fallback == 0 ? "the system's default" : std::to_string(fallback));
    return fallback;
  }
  return value;
}

}  // namespace orvo
