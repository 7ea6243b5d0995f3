#include "layouts/page/a4_sheet.h"

#include <string>

#include "layouts/page/page_blocks.h"
#include "shared/numerals.h"

namespace orvo {

namespace {

constexpr Spot kTblName = {6550, 1600};
constexpr double kSalesY = 3856, kTaxY = 4050;
constexpr int kParts = 3;

double offset(const Settings& settings, const char* key) {
  return key != nullptr ? offset_setting(settings, key) : 0;
}

// An empty cell, then the amount right-aligned.
std::string amount_body(const Variant& v) { return table_row({"", amount_text(v)}); }

}  // namespace

bool print_a4_sheet(PrintJob& job, page::PageCanvas& vsp, const A4Sheet& sheet) {
  const InvoiceRecord& inv = job.inv;
  const double dx = offset(job.settings, sheet.offset_x_key);
  const double dy = offset(job.settings, sheet.offset_y_key);
  begin_form(vsp);
  form_style(vsp, 9, 90, 0);

  const RocDate date = roc_date_parts(inv.InvDate);
  const SalesTax money = sales_and_tax(inv);
  const std::string numerals = Num2Cstr8(job.host, inv.InvAmt);
  vsp.set_setting(108, Variant(0));

  const std::string item_format = number_text(sheet.item_indent + dx) + sheet.item_columns;
  const std::string amount_format = number_text(sheet.amount_indent + dx) + "|>1500;";
  const std::string sales = amount_text(money.sales);
  const std::string item_row =
      table_row({"", job.opt.total_label, "1", sales, sales, "", shown_remark(job)});

  for (int part = 0; part < kParts; ++part) {
    const double base = dy + part * sheet.part_height;
    const Pen pen{vsp, dx, base};
    const auto at = [&](Spot s, const std::string& text) { pen(s.x, s.y, text); };
    const auto table = [&](double y, const std::string& format, const std::string& body) {
      vsp.set_y(base + y);
      vsp.add_table(format, "", body, true);
    };
    at({sheet.year_x, sheet.date_y}, date.year);
    at({sheet.month_x, sheet.date_y}, date.month);
    at({sheet.day_x, sheet.date_y}, date.day);
    at({sheet.time_x, sheet.date_y}, format_date(job.host.now(), "HH:mm"));
    at(sheet.inv_no, Str(job.inv_no));
    at(sheet.check_no, Str(inv.CheckNo));
    at(sheet.bno, Str(inv.BNo));
    at(kTblName, Str(inv.TblName));
    table(sheet.item_y, item_format, item_row);
    table(kSalesY, amount_format, amount_body(money.sales));
    at(sheet.check_mark, "V");
    table(kTaxY, amount_format, amount_body(money.tax));
    table(sheet.total_y, amount_format, amount_body(inv.InvAmt));
    numeral_boxes(pen, numerals, sheet.first_numeral, sheet.numeral_xs, sheet.numerals_y);
  }
  vsp.end_document();
  return true;
}

}  // namespace orvo
