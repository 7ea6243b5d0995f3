// The KTV420 roll layout: 24 byte columns on 36-line invoice forms, a summary of food and drink,
// room charge and tax.
#include "layouts/roll/ktv420.h"

#include <string>

#include "layouts/roll/roll36_blocks.h"
#include "layouts/roll/roll_blocks.h"
#include "printer_object/channel/commands.h"
#include "printer_object/layout_runner.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

constexpr int kWidth = 24;
// Both the food and drink amount and the room charge include 5 % tax.
constexpr double kWithTax = 1.05;

}  // namespace

void InvHeadKTV(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine) {
  raising_as("InvHeadKTV", [&] {
    const InvoiceRecord& inv = job.inv;
    if (piLine > 24) {
      feed_out_form(out, piLine);
      piPage = add16(piPage, 1);
      piLine = 1;
    }
    if (piLine >= 2) return;

    for (const Variant* head : {&inv.Head0, &inv.Head1, &inv.Head2, &inv.Head3}) {
      if (is_blank(*head))
        out.command(cmd::feed(1));
      else
        out.text(PadRightB(*head, Variant(kWidth)));
    }
    const DateValue now = job.host.now();
    out.text("日期:" + format_date(now, "YYYY-MM-DD") + "  " + format_date(now, "hh:mm"));
    out.text("收銀員:" + PadLeftB(inv.UserID, Variant(6)));
    out.text(check_code_line(job));
    out.text(not_blank(inv.CheckNo) ? "帳單:" + Str(inv.CheckNo) : "包廂代號:" + Str(inv.TblName));
    if (not_blank(inv.BNo))
      out.text("客戶統編: " + Str(inv.BNo));
    else
      out.command(cmd::feed(1));
    piLine = 10;
  });
}

bool Print_KTV420(PrintJob& job, ByteSink& out) {
  InvoiceRecord& inv = job.inv;
  std::int16_t page = 1;
  std::int16_t line = 1;
  const auto head = [&] { InvHeadKTV(job, out, page, line); };
  const auto next_line = [&] {
    line = add16(line, 1);
    head();
  };

  initialise_printer(job, out);
  out.command(cmd::kBothStations);
  inv.PageCount = Variant(1);
  head();

  const double amount = Num(inv.InvAmt);
  const double order = amount - Num(inv.SCharge);
  if (order < 0) {
    inv.SCharge = inv.InvAmt;
    inv.OrderAmt = Variant(0);
  } else {
    inv.OrderAmt = Variant(order);
  }
  const double food = Round(Num(inv.OrderAmt) / kWithTax);
  const double room = Round(Num(inv.SCharge) / kWithTax);
  const double tax = amount - (food + room);

  if (not_blank(inv.Remark)) {
    // No line end: the feed that follows prints it.
    out.text(PadRightB(inv.Remark, Variant(kWidth)), LineEnd::None);
    next_line();
  }
  out.command(cmd::feed(1));
  next_line();
  out.text("  餐飲費:" + amount7(Variant(food)));
  next_line();
  out.text("  包廂費:" + amount7(Variant(room)));
  next_line();
  out.text("   稅 額:" + amount7(Variant(tax)));
  next_line();
  out.text(PadLeftB("   合 計:" + Format(inv.InvAmt, "#,##0") + "元", Variant(kWidth)));
  line = add16(line, 1);
  feed_out_form(out, line);
  inv.PageCount = Variant(page);
  return true;
}

}  // namespace orvo
