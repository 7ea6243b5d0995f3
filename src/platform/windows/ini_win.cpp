#include <ini.h>

#include <string>
#include <string_view>

namespace {

std::string_view strip(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// A ";" at the start or after a blank begins a comment.
std::string_view without_comment(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == ';' && (i == 0 || s[i - 1] == ' ' || s[i - 1] == '\t')) return s.substr(0, i);
  }
  return s;
}

}  // namespace

int ini_parse_stream(ini_reader reader, void* stream, ini_handler handler, void* user) {
  char buf[200];
  std::string section;
  int line_no = 0, first_error = 0;
  while (reader(buf, sizeof buf, stream) != nullptr) {
    std::string_view line(buf);
    if (++line_no == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    line = strip(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    bool ok = false;
    if (line.front() == '[') {
      const auto close = line.find(']');
      if (close != std::string_view::npos) {
        section = std::string(line.substr(1, close - 1));
        ok = true;
      }
    } else if (const auto eq = line.find_first_of("=:"); eq != std::string_view::npos) {
      const std::string name(strip(line.substr(0, eq)));
      const std::string value(strip(without_comment(line.substr(eq + 1))));
      ok = handler(user, section.c_str(), name.c_str(), value.c_str()) != 0;
    }
    if (!ok && first_error == 0) first_error = line_no;
  }
  return first_error;
}
