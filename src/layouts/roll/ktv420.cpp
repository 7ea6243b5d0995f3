// The KTV420 roll layout: 24 byte columns on 36-line invoice forms, a summary of food and drink,
// room charge and tax.
#include "layouts/roll/ktv420.h"

#include <string>

#include "layout_kit/commands.h"
#include "layout_kit/layout_runner.h"
#include "layout_kit/roll_form.h"
#include "layouts/roll/roll36_blocks.h"
#include "layouts/roll/roll_blocks.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

constexpr int kWidth = 24;
// Both the food and drink amount and the room charge include 5 % tax.
constexpr double kWithTax = 1.05;

// Before a body line: ends a full form (after line 24) and prints the nine heading lines on a new
// one. The invoice number stays that of the first form.
void InvHeadKTV(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine) {
  raising_as("InvHeadKTV", [&] {
    const InvoiceRecord& inv = job.inv;
    next_form_after(24, piPage, piLine, [&] { feed_out_form(out, piLine); });
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

// Writes the food and drink amount back to OrderAmt, and caps SCharge at the total.
bool Print_KTV420(PrintJob& job, ByteSink& out) {
  InvoiceRecord& inv = job.inv;
  RollForm form(job, out, InvHeadKTV);
  start_two_station_roll(job, out);
  form.start();

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
    form.print(PadRightB(inv.Remark, Variant(kWidth)), LineEnd::None);
    form.head();
  }
  form.feed(1);
  form.head();
  form.print_then_head("  餐飲費:" + amount7(Variant(food)));
  form.print_then_head("  包廂費:" + amount7(Variant(room)));
  form.print_then_head("   稅 額:" + amount7(Variant(tax)));
  form.print(PadLeftB("   合 計:" + Format(inv.InvAmt, "#,##0") + "元", Variant(kWidth)));
  form.feed_out();
  return form.finish();
}

}  // namespace

constexpr Route kKtv420Route =
    roll_route("KTV420", "Print_KTV420", Print_KTV420).keeping_errors_of("InvHeadKTV");

}  // namespace orvo
