#include "page_printer_host/page_canvas.h"

#include <algorithm>
#include <array>

#include "shared/errors.h"

namespace orvo::page {

namespace {

constexpr std::array<int, 7> kSettings = {33, 34, 41, 57, 63, 108, 171};

std::size_t margin_index(Margin m) { return static_cast<std::size_t>(static_cast<int>(m) - 49); }

// Splits at every `sep`; a text ending in `sep` has no empty piece after it.
std::vector<std::string_view> split(std::string_view text, char sep) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(sep, start);
    if (end == std::string_view::npos) {
      out.push_back(text.substr(start));
      break;
    }
    out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

[[noreturn]] void bad_format(std::string_view format, const std::string& why) {
  raise(err::kInvalidArgument, "table format \"" + std::string(format) + "\": " + why);
}

}  // namespace

PageCanvas::PageCanvas(std::shared_ptr<PrintQueues> queues, std::shared_ptr<TextMetrics> metrics)
    : queues_(std::move(queues)), metrics_(std::move(metrics)), font_(kDefaultFont) {}

std::string PageCanvas::printer_name() const {
  return printer_name_.empty() ? queues_->default_name() : printer_name_;
}

int PageCanvas::printer_count() {
  printer_list_ = queues_->names();
  return static_cast<int>(printer_list_.size());
}

std::string PageCanvas::printer_name_at(int index) {
  if (printer_list_.empty()) printer_list_ = queues_->names();
  if (index < 0 || static_cast<std::size_t>(index) >= printer_list_.size()) {
    raise(page_err::kSubscript, "no printer at index " + std::to_string(index) + " (there are " +
                                    std::to_string(printer_list_.size()) + ")");
  }
  return printer_list_[static_cast<std::size_t>(index)];
}

void PageCanvas::set_separators(std::string_view two) {
  if (two.size() != 2 || two[0] == two[1]) {
    raise(page_err::kInvalidPropertyValue,
          "separators must be two different characters (cell, row), not \"" + std::string(two) +
              "\"");
  }
  separators_ = two;
}

double PageCanvas::margin(Margin m) const { return margins_[margin_index(m)]; }

void PageCanvas::set_margin(Margin m, double twips) {
  static constexpr const char* kNames[] = {"left", "top", "right", "bottom"};
  if (twips < 0) {
    raise(page_err::kInvalidPropertyValue, std::string("the ") + kNames[margin_index(m)] +
                                               " margin cannot be negative: " +
                                               number_text(twips));
  }
  margins_[margin_index(m)] = twips;
}

void PageCanvas::begin_document() {
  doc_ = PageDocument{};
  const std::string queue = printer_name();
  if (!queue.empty()) {
    if (auto size = queues_->media(queue)) doc_.size = *size;
  }
  doc_.pages.emplace_back();
  x_ = margin(Margin::Left);
  y_ = margin(Margin::Top);
  open_ = true;
  ended_ = false;
}

void PageCanvas::end_document() {
  require_open("end the document");
  open_ = false;
  ended_ = true;
}

void PageCanvas::require_open(const char* what) const {
  if (!open_) raise(page_err::kNoDocument, std::string("cannot ") + what + ": no document begun");
}

void PageCanvas::set_font_name(std::string name) {
  if (name.empty()) raise(page_err::kInvalidPropertyValue, "font name is empty");
  metrics_->require_chinese(name);
  font_.name = std::move(name);
}

void PageCanvas::set_font_size(double points) {
  if (!(points > 0)) {
    raise(page_err::kInvalidPropertyValue,
          "font size must be above 0 points, not " + number_text(points));
  }
  font_.size = points;
}

void PageCanvas::new_page() {
  doc_.pages.emplace_back();
  y_ = margin(Margin::Top);
}

void PageCanvas::make_room(double height) {
  // A row taller than the page still goes somewhere: at the top of a page of its own.
  if (y_ + height > bottom_limit() && y_ > margin(Margin::Top)) new_page();
}

void PageCanvas::print_text(std::string_view text) {
  require_open("print text");
  const double line = metrics_->line_height(font_);
  make_room(line);
  double y = y_;
  bool first = true;
  for (std::string_view piece : split(text, '\n')) {
    if (!first) {
      y += line;
      if (y + line > bottom_limit()) {  // the rest goes on a new page; position Y stays
        doc_.pages.emplace_back();
        y = margin(Margin::Top);
      }
    }
    first = false;
    if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
    if (!piece.empty()) page().texts.push_back({x_, y, std::string(piece), font_});
  }
}

std::vector<PageCanvas::Column> PageCanvas::parse_format(std::string_view format) {
  std::string_view entries = format;
  if (!entries.empty() && entries.back() == ';') entries.remove_suffix(1);
  std::vector<Column> columns;
  for (std::string_view entry : split(entries, '|')) {
    const std::string given(entry);
    Align align = Align::Left;
    if (!entry.empty() && (entry[0] == '<' || entry[0] == '>')) {
      align = entry[0] == '>' ? Align::Right : Align::Left;
      entry.remove_prefix(1);
    }
    const auto width = parse_number(entry);
    const std::string column = "column " + std::to_string(columns.size() + 1);
    if (!width) {
      bad_format(format, column + " (\"" + given +
                             "\") needs a width, optionally after \"<\" or \">\"");
    }
    if (*width < 0) bad_format(format, column + " has a negative width");
    columns.push_back({*width, align});
  }
  if (columns.empty()) bad_format(format, "no columns");
  return columns;
}

std::vector<std::vector<std::string>> PageCanvas::split_rows(std::string_view text) const {
  std::vector<std::vector<std::string>> rows;
  for (std::string_view row : split(text, separators_[1])) {
    auto& cells = rows.emplace_back();
    std::size_t start = 0;
    // Unlike rows, a row "a|" has two cells: the second is empty.
    while (true) {
      const std::size_t end = row.find(separators_[0], start);
      cells.emplace_back(row.substr(start, end == std::string_view::npos ? end : end - start));
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
  }
  return rows;
}

void PageCanvas::add_table(std::string_view format, std::string_view header,
                           std::string_view body, bool flag) {
  require_open("add a table");
  const std::vector<Column> columns = parse_format(format);
  auto rows = split_rows(header);
  for (auto& row : split_rows(body)) rows.push_back(std::move(row));

  const double left = margin(Margin::Left);
  const double line = metrics_->line_height(font_);
  // The record goes where the first row lands; its bottom is known at the end.
  std::size_t record_page = 0, record_index = 0;
  bool recorded = false;
  auto record = [&] {
    page().tables.push_back({left, y_, 0, std::string(format), std::string(header),
                             std::string(body), flag});
    record_page = doc_.pages.size() - 1;
    record_index = page().tables.size() - 1;
    recorded = true;
  };
  for (const auto& row : rows) {
    std::vector<std::vector<std::string>> cells(columns.size());
    std::size_t lines = 1;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (c < row.size() && !row[c].empty()) {
        cells[c] = metrics_->wrap(row[c], font_, columns[c].width);
      }
      lines = std::max(lines, cells[c].size());
    }
    const double height = static_cast<double>(lines) * line;
    make_room(height);
    if (!recorded) record();
    double x = left;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      for (std::size_t k = 0; k < cells[c].size(); ++k) {
        if (cells[c][k].empty()) continue;
        page().texts.push_back({x, y_ + static_cast<double>(k) * line, cells[c][k], font_,
                                columns[c].width, columns[c].align});
      }
      x += columns[c].width;
    }
    if (table_border_ != 0) rule_row(columns, left, height);
    y_ += height;
  }
  if (!recorded) record();  // no rows: nothing drawn, but the call is on record
  doc_.pages[record_page].tables[record_index].bottom = y_;
}

void PageCanvas::rule_row(const std::vector<Column>& columns, double left, double height) {
  const double bottom = y_ + height;
  double right = left;
  for (const Column& col : columns) right += col.width;
  auto& rules = page().rules;
  rules.push_back({left, y_, right, y_});
  rules.push_back({left, bottom, right, bottom});
  double edge = left;
  rules.push_back({edge, y_, edge, bottom});
  for (const Column& col : columns) {
    edge += col.width;
    rules.push_back({edge, y_, edge, bottom});
  }
}

Variant PageCanvas::setting(int id) const {
  if (std::find(kSettings.begin(), kSettings.end(), id) == kSettings.end()) {
    raise(page_err::kNoSuchSetting, "the page printer has no setting " + std::to_string(id));
  }
  const auto it = settings_.find(id);
  return it == settings_.end() ? Variant() : it->second;
}

void PageCanvas::set_setting(int id, Variant value) {
  (void)setting(id);  // checks the number
  settings_[id] = std::move(value);
}

}  // namespace orvo::page
