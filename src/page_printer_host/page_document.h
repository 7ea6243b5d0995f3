#pragma once
// A page document as a display list: what was drawn where, in twips (1/1440 inch) from each
// page's top-left corner. Layout tests read it directly; the renderer turns it into PDF or PNG.
#include <string>
#include <vector>

namespace orvo::page {

inline constexpr double kTwipsPerPoint = 20;
inline constexpr double kTwipsPerInch = 1440;

struct PageSize {
  double width = 0, height = 0;  // twips
  bool operator==(const PageSize&) const = default;
};
// 210 x 297 mm, portrait.
inline constexpr PageSize kA4{210 / 25.4 * kTwipsPerInch, 297 / 25.4 * kTwipsPerInch};

struct FontSpec {
  std::string name;
  double size = 0;  // points
  bool operator==(const FontSpec&) const = default;
};

enum class Align { Left, Right };

// One line of text. A free text has width 0 and starts at x. A table cell's line has the cell's
// box [x, x + width] and sits at its left or right edge by `align`.
struct TextRun {
  double x = 0, y = 0;  // top-left of the line
  std::string text;
  FontSpec font;
  double width = 0;
  Align align = Align::Left;
  bool operator==(const TextRun&) const = default;
};

// A straight rule of a bordered table.
struct Rule {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool operator==(const Rule&) const = default;
};

// A table as it was asked for, kept beside the cells it produced so that tests can check the
// caller's format and rows as well as where they landed.
struct TableRecord {
  double x = 0, y = 0;     // where its first row went, on this page
  double bottom = 0;       // position Y after it (on the page where it ended)
  std::string format, header, body;
  bool flag = false;
  bool operator==(const TableRecord&) const = default;
};

struct Page {
  std::vector<TextRun> texts;
  std::vector<Rule> rules;
  std::vector<TableRecord> tables;
};

struct PageDocument {
  PageSize size = kA4;
  std::vector<Page> pages;
};

}  // namespace orvo::page
