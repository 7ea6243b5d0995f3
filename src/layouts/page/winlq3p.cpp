// WINLQ3P: one small invoice form with the shop's first heading line, moved down by the offset
// txtWINLQ3P (1000 unless the setting is between 0 and 2000); x positions are fixed.
#include "layouts/page/page_blocks.h"
#include "layouts/page/page_layouts.h"
#include "shared/numerals.h"

namespace orvo {

namespace {

constexpr const char* kItemFormat = "800|1700|>400|>700|>700;";
constexpr double kNumeralXs[] = {1490, 1820, 2150, 2480, 2810, 3140, 3470, 3800};

}  // namespace

bool Print_WINLQ3P(PrintJob& job, page::PageCanvas& vsp) {
  const InvoiceRecord& inv = job.inv;
  const double dy = offset_setting(job.settings, "txtWINLQ3P", 1000, 2000);
  const Pen at{vsp, 0, dy};
  begin_form(vsp);
  form_style(vsp, 8, 90, 0);
  vsp.set_setting(108, Variant(6));

  const RocDate date = roc_date_parts(inv.InvDate);
  at(1600, 1250, date.year);
  at(2100, 1250, date.month);
  at(2700, 1250, date.day);
  at(1300, 1500, Str(inv.Head0));
  at(1600, 1750, Str(inv.CheckNo));
  at(1600, 2250, Str(inv.BNo));
  at(1600, 2700, Str(job.inv_no));

  const SalesTax money = sales_and_tax(inv);
  const std::string sales = amount_text(money.sales);
  vsp.set_y(dy + 3100);
  vsp.set_setting(108, Variant(3));
  vsp.add_table(kItemFormat, "", kEmptyRow);
  vsp.add_table(kItemFormat, "", table_row({"", job.opt.total_label, "1", sales, sales}));

  at(3450, 4150, amount_field(money.sales));
  at(3450, 4350, amount_field(money.tax));
  at(3450, 4550, amount_field(inv.InvAmt));
  at(1600, 4550, "V");

  numeral_boxes(at, Num2Cstr8(job.host, inv.InvAmt), 1, kNumeralXs, 5050);
  // The remark prints at the foot only, never in the item row.
  at(2630, 5250, shown_remark(job));
  vsp.end_document();
  return true;
}

}  // namespace orvo
