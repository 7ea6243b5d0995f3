#pragma once
// Expectations kept as tab-separated case files in the tests' data folders: one case a line,
// blank lines and lines starting with "#" skipped; \t \n \r \\ and \xHH work in any field.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "shared/variant.h"

namespace orvo::testing {

inline std::string unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char c = s[++i];
    if (c == 'x' && i + 2 < s.size()) {
      out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
  }
  return out;
}

// A value as the case files write it: empty, null, true, false, a number, "text", or
// date Y-M-D [H:M:S].
inline Variant case_value(const std::string& s) {
  if (s == "empty") return Variant();
  if (s == "null") return Variant::null();
  if (s == "true" || s == "false") return Variant(s == "true");
  if (s.starts_with('"')) return Variant(s.substr(1, s.size() - 2));
  if (s.starts_with("date ")) {
    CivilTime t{};
    std::sscanf(s.c_str() + 5, "%d-%d-%d %d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                &t.second);
    return Variant(date_from_civil(t));
  }
  return Variant(std::stod(s));
}

// The cases of `name`, a path under tests/.
inline std::vector<std::vector<std::string>> read_cases(const std::string& name) {
  std::ifstream in(std::string(ORVO_TESTS_DIR) + "/" + name);
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> row;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      row.push_back(unescape(line.substr(start, tab - start)));
    row.push_back(unescape(line.substr(start)));
    rows.push_back(std::move(row));
  }
  EXPECT_FALSE(rows.empty()) << "no cases in " << name;
  return rows;
}

}  // namespace orvo::testing
