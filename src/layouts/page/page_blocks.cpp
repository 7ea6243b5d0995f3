#include "layouts/page/page_blocks.h"

#include "shared/cp950.h"

namespace orvo {

void form_style(page::PageCanvas& vsp, double points, int setting57, int setting63) {
  vsp.set_font_name("細明體");
  vsp.set_font_size(points);
  vsp.set_setting(57, Variant(setting57));
  vsp.set_setting(63, Variant(setting63));
}

void begin_form(page::PageCanvas& vsp, double left_margin) {
  using page::Margin;
  vsp.set_setting(34, Variant(true));
  vsp.set_separators("|;");
  vsp.set_table_border(0);
  vsp.set_margin(Margin::Top, 0);
  vsp.set_margin(Margin::Bottom, 0);
  vsp.set_margin(Margin::Left, left_margin);
  vsp.set_margin(Margin::Right, 0);
  vsp.begin_document();
}

void Pen::operator()(double x, double y, const std::string& text) const {
  vsp.set_x(dx + x);
  vsp.set_y(dy + y);
  vsp.print_text(text);
}

RocDate roc_date_parts(const Variant& date) {
  const CivilTime c = civil_from_date(CDate(date));
  const auto two = [](int n) { return Format(Variant(n), "00"); };
  return {two(c.year - 1911), two(c.month), two(c.day)};
}

SalesTax split_tax(const Variant& amount) {
  const double total = Num(amount);
  const double tax = Round(Round(total / 1.05) * 0.05);
  return {Variant(total - tax), Variant(tax)};
}

SalesTax sales_and_tax(const InvoiceRecord& inv) {
  // Null is never equal to "", so a Null buyer number splits the tax.
  if (!inv.BNo.is_null() && Trim(Str(inv.BNo)).empty()) return {inv.InvAmt, Variant(0)};
  return split_tax(inv.InvAmt);
}

std::string amount_text(const Variant& v) { return Format(v, "#,##0"); }

std::string amount_field(const Variant& v) { return PadLeftB(Variant(amount_text(v)), Variant(9)); }

std::string table_row(std::initializer_list<std::string> cells) {
  std::string row;
  const char* separator = "";
  for (const std::string& cell : cells) {
    row += separator + cell;
    separator = "|";
  }
  return row + ';';
}

std::string shown_remark(const PrintJob& job) {
  return not_blank(job.inv.Remark) && !job.opt.no_remark ? Str(job.inv.Remark) : "";
}

void numeral_boxes(const Pen& pen, const std::string& numerals, std::size_t first,
                   std::span<const double> xs, double y) {
  for (std::size_t i = 0; i < xs.size(); ++i) pen(xs[i], y, Mid(numerals, first + i, 1));
}

double offset_setting(const Settings& settings, std::string_view key) {
  return Val(settings.ip(key));
}

double offset_setting(const Settings& settings, std::string_view key, double fallback,
                      double upper) {
  const double v = offset_setting(settings, key);
  return v > 0 && v < upper ? v : fallback;
}

}  // namespace orvo
