#pragma once
// What the page layouts draw the same way.
#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "layout_kit/print_job.h"
#include "page_printer_host/page_canvas.h"

namespace orvo {

// The forms' font, "細明體", in `points`, and the component's settings 57 and 63 as the form
// wants them.
void form_style(page::PageCanvas& vsp, double points, int setting57, int setting63);

// Setting 34 on, separators "|;", no table rules, the left margin as given and the others 0,
// then the document begun.
void begin_form(page::PageCanvas& vsp, double left_margin = 0);

// Draws texts moved by (dx, dy): pen(x, y, text) sets position X and Y, then prints the text.
struct Pen {
  page::PageCanvas& vsp;
  double dx = 0, dy = 0;
  void operator()(double x, double y, const std::string& text) const;
};

// Year (of the Republic of China), month and day of the invoice date, each at least two digits.
// A value that is no date raises.
struct RocDate {
  std::string year, month, day;
};
RocDate roc_date_parts(const Variant& date);

struct SalesTax {
  Variant sales, tax;
};
// The 5 % tax taken out of a tax-inclusive amount, in whole dollars (halves to even).
SalesTax split_tax(const Variant& amount);
// Only a sale with a buyer number shows its tax; otherwise the whole amount is sales.
SalesTax sales_and_tax(const InvoiceRecord& inv);

std::string amount_text(const Variant& v);   // "#,##0"
std::string amount_field(const Variant& v);  // the same, right-aligned in 9 byte columns

// One table row: the cells split by "|" and ended by ";".
std::string table_row(std::initializer_list<std::string> cells);
// One row of empty cells: a table of it moves position Y down one row.
inline constexpr std::string_view kEmptyRow = "|||||;";

// The remark, unless there is none or the remark switch is on.
std::string shown_remark(const PrintJob& job);

// The amount in numerals, one per box: characters first, first + 1, ... each alone at the next
// of xs, on y.
void numeral_boxes(const Pen& pen, const std::string& numerals, std::size_t first,
                   std::span<const double> xs, double y);

// The setting read as a number (its leading number; none gives 0).
double offset_setting(const Settings& settings, std::string_view key);
// The same, where only 0 < value < upper counts and anything else gives `fallback`.
double offset_setting(const Settings& settings, std::string_view key, double fallback,
                      double upper);

}  // namespace orvo
