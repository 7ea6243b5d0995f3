// WISEINV: one invoice form on the printer "WiseInv", every position hanging from one base
// (txtM6X8base, 500 unless the setting is between 0 and 1500) kept for its heading, and a left
// margin of 1200. The tax is always split out, and the item row shows the tax-inclusive amount.
#include "layout_kit/layout_runner.h"
#include "layouts/page/page_blocks.h"
#include "layouts/page/page_layouts.h"
#include "shared/numerals.h"

namespace orvo {

namespace {

constexpr double kLeftMargin = 1200;
constexpr const char* kItemFormat = "3850|>850|>1100|>1400|200|2600;";
constexpr double kNumeralXs[] = {2550, 2990, 3410, 3830, 4260, 4680, 5100, 5520};

}  // namespace

void InvHead_WISEINV(PrintJob& job, page::PageCanvas& vsp) {
  raising_as("InvHead_WISEINV", [&] {
    const InvoiceRecord& inv = job.inv;
    const Pen at{vsp, 0, Num(job.opt.wise_base_y)};
    const double left = vsp.margin(page::Margin::Left) + 1000;
    at(left, 0, Str(job.inv_no));
    at(left, 250, "桌號:" + Str(inv.TblName));
    at(left, 500, Str(inv.BNo));
    at(left, 1000, Str(inv.CheckNo));
    // On the check number's line.
    const RocDate date = roc_date_parts(inv.InvDate);
    at(5700, 1000, date.year);
    at(6200, 1000, date.month);
    at(6700, 1000, date.day);
  });
}

bool Print_WISEINV(PrintJob& job, page::PageCanvas& vsp) {
  InvoiceRecord& inv = job.inv;
  job.opt.wise_base_y = Variant(offset_setting(job.settings, "txtM6X8base", 500, 1500));
  const double base = Num(job.opt.wise_base_y);
  const Pen at{vsp, 0, base};
  begin_form(vsp, kLeftMargin);
  inv.PageCount = Variant(1);
  form_style(vsp, 9, 120, 70);
  vsp.set_setting(108, Variant(6));
  InvHead_WISEINV(job, vsp);

  const std::string total = amount_text(inv.InvAmt);
  vsp.set_y(base + 1250);
  vsp.add_table(kItemFormat, "", kEmptyRow);
  vsp.add_table(kItemFormat, "",
                table_row({job.opt.total_label, "1", total, total, "", Str(inv.Remark)}));

  vsp.set_font_size(11);
  // No buyer number needed: this form always shows the tax.
  const SalesTax money = split_tax(inv.InvAmt);
  at(7400, 4400, amount_field(money.sales));
  at(7400, 4950, amount_field(money.tax));
  at(5400, 5100, "V");
  at(7400, 5500, amount_field(inv.InvAmt));
  at(7400, 6000, amount_field(inv.InvAmt));

  vsp.set_font_size(9);
  numeral_boxes(at, Num2Cstr8(job.host, inv.InvAmt), 1, kNumeralXs, 6000);
  vsp.end_document();
  return true;
}

}  // namespace orvo
