// WINLQM1: one invoice form on a form printer driven as a page printer, moved down by the offset
// txtWINLQM1; x positions are fixed.
#include "layouts/page/page_blocks.h"
#include "layouts/page/page_layouts.h"
#include "shared/numerals.h"

namespace orvo {

namespace {

constexpr const char* kItemFormat = "1000|<2850|>1350|>1100|>2000|>200|<2600;";
constexpr double kNumeralXs[] = {3080, 3710, 4340, 4970, 5600, 6230, 6860, 7490};

}  // namespace

bool Print_WINLQM1(PrintJob& job, page::PageCanvas& vsp) {
  InvoiceRecord& inv = job.inv;
  const double dy = offset_setting(job.settings, "txtWINLQM1");
  const Pen at{vsp, 0, dy};
  begin_form(vsp);
  inv.PageCount = Variant(1);
  form_style(vsp, 10, 100, 0);
  vsp.set_setting(108, Variant(6));

  const RocDate date = roc_date_parts(inv.InvDate);
  at(5200, 1250, date.year);
  at(5950, 1250, date.month);
  at(6750, 1250, date.day);
  at(2100, 1500, Str(job.inv_no));
  at(2100, 1700, "桌號:" + Str(inv.TblName));
  at(2100, 2200, Str(inv.BNo));
  at(8610, 1700, Str(inv.CheckNo));
  at(8610, 2200, shown_remark(job));

  const SalesTax money = sales_and_tax(inv);
  const std::string sales = amount_text(money.sales);
  vsp.set_y(dy + 2900);
  vsp.set_setting(108, Variant(6));
  vsp.add_table(kItemFormat, "", kEmptyRow);
  // The item row shows the remark whatever the remark switch says.
  vsp.add_table(kItemFormat, "",
                table_row({"", job.opt.total_label, "1", sales, sales, "", Str(inv.Remark)}));

  vsp.set_font_size(11);
  at(7200, 5350, amount_field(money.sales));
  at(7200, 5900, amount_field(money.tax));
  at(2850, 6000, "V");
  at(7200, 6400, amount_field(inv.InvAmt));

  const std::string numerals = Num2Cstr8(job.host, inv.InvAmt);
  vsp.set_font_size(10);
  at(2450, 6800, "零");
  numeral_boxes(at, numerals, 1, kNumeralXs, 6800);
  vsp.end_document();
  return true;
}

}  // namespace orvo
