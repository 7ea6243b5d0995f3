#include "printer_object/settings/settings.h"

#include <ini.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "shared/user_paths.h"

namespace orvo {

namespace {

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

}  // namespace

std::filesystem::path settings_path() {
  return user_file("ORVO_SETTINGS", "XDG_CONFIG_HOME", ".config", "settings.ini");
}

Settings Settings::load(const std::filesystem::path& file) {
  Settings s;
  if (file.empty()) return s;
  LineSource src;
  src.in.open(file, std::ios::binary);
  if (!src.in) return s;
  auto handler = [](void* user, const char* section, const char* name, const char* value) -> int {
    if (value == nullptr) return 1;
    auto& sections = static_cast<Settings*>(user)->sections_;
    auto it = sections.find(std::string_view(section));
    if (it == sections.end()) it = sections.emplace(section, decltype(it->second){}).first;
    it->second.insert_or_assign(std::string(name), std::string(value));
    return 1;
  };
  // Lines with a syntax error are skipped; the rest of the file still counts.
  ini_parse_stream(read_line, &src, handler, &s);
  return s;
}

std::string Settings::get(std::string_view section, std::string_view key) const {
  auto sec = sections_.find(section);
  if (sec == sections_.end()) return {};
  auto val = sec->second.find(key);
  return val == sec->second.end() ? std::string() : val->second;
}

}  // namespace orvo
