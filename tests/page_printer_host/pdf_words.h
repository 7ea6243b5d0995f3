#pragma once
// Reads a PDF back with poppler: every word with its box in points (pdftotext -bbox), and the
// fonts it embeds (pdffonts).
#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace orvo::testing {

inline std::string command_output(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen((command + " 2>&1").c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

struct PdfWord {
  int page;
  double x_min, y_min, x_max, y_max;
  std::string text;
};

inline std::vector<PdfWord> pdf_words(const std::filesystem::path& pdf) {
  const std::string html = command_output("pdftotext -bbox '" + pdf.string() + "' -");
  static const std::regex item(
      R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)re");
  std::vector<PdfWord> words;
  int page = 0;
  for (std::sregex_iterator it(html.begin(), html.end(), item), end; it != end; ++it) {
    const std::smatch& m = *it;
    if (!m[1].matched) {
      ++page;
      continue;
    }
    words.push_back({page, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]),
                     m[5]});
  }
  return words;
}

// Font names as embedded, subset tag included ("QTTEHM+UMingTW").
inline std::vector<std::string> pdf_fonts(const std::filesystem::path& pdf) {
  std::istringstream listing(command_output("pdffonts '" + pdf.string() + "'"));
  std::vector<std::string> fonts;
  std::string line;
  for (int n = 0; std::getline(listing, line); ++n) {
    if (n >= 2 && !line.empty()) fonts.push_back(line.substr(0, line.find(' ')));  // 2 headings
  }
  return fonts;
}

}  // namespace orvo::testing
