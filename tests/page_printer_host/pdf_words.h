#pragma once
// Reads a PDF back with poppler: every word with its box in points (pdftotext -bbox), and the
// fonts it embeds (pdffonts).
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace orvo::testing {

struct PdfWord {
  int page;
  double x_min, y_min, x_max, y_max;
  std::string text;
};

inline std::string command_output(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen((command + " 2>&1").c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

// Font names as embedded, subset tag included ("QTTEHM+UMingTW").
inline std::vector<std::string> pdf_fonts(const std::filesystem::path& pdf) {
  const std::string listing = command_output("pdffonts '" + pdf.string() + "'");
  std::vector<std::string> fonts;
  const std::size_t rule = listing.find("\n---");
  if (rule == std::string::npos) return fonts;
  for (std::size_t at = listing.find('\n', rule + 1); at != std::string::npos;) {
    const std::size_t end = listing.find('\n', at + 1);
    const std::string line = listing.substr(at + 1, end - at - 1);
    if (!line.empty()) fonts.push_back(line.substr(0, line.find(' ')));
    at = end;
  }
  return fonts;
}

inline std::vector<PdfWord> pdf_words(const std::filesystem::path& pdf) {
  const std::string html = command_output("pdftotext -bbox '" + pdf.string() + "' -");
  static const std::regex word(
      R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  std::vector<PdfWord> words;
  int page = 0;
  for (std::size_t at = 0; at < html.size();) {
    const std::size_t next_page = html.find("<page ", at);
    const std::size_t next_word = html.find("<word ", at);
    if (next_word == std::string::npos) break;
    if (next_page < next_word) {
      ++page;
      at = next_page + 1;
      continue;
    }
    std::smatch m;
    const std::string rest = html.substr(next_word, html.find("</word>", next_word) + 7 - next_word);
    if (std::regex_match(rest, m, word)) {
      words.push_back({page, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]),
                       m[5]});
    }
    at = next_word + 1;
  }
  return words;
}

}  // namespace orvo::testing
