// The SP300 summary form: meal and service lines whatever the total label, and an amounts block
// that always shows the sales amount and the tax, buyer or not.
#include "layouts/roll/sp300.h"

#include <string>

#include "layout_kit/commands.h"
#include "layouts/roll/form_blocks.h"
#include "layouts/roll/roll_blocks.h"

namespace orvo {

namespace {

bool Print_SP300(PrintJob& job, ByteSink& out) {
  const InvoiceRecord& inv = job.inv;
  const std::string indent(6, ' ');
  out.command(cmd::kInit);
  out.text(" ");
  for (const Variant* head : {&inv.Head0, &inv.Head1, &inv.Head2}) out.text(Str(*head));
  out.text(table_or_bill_line(job));
  out.text(dated_line(job, false));
  out.text(not_trim_blank(inv.BNo) ? indent + "統編(B/No):" + Str(inv.BNo) : indent);
  out.text(indent);
  out.text("  餐 費     " + amount_yuan(subtract(inv.InvAmt, inv.SCharge), 20));
  out.text("  服 務 費  " + amount_yuan(inv.SCharge, 20));
  out.command(cmd::advance(13));
  out.text(amount_yuan(subtract(inv.InvAmt, inv.TaxAdd), 32));
  out.text(amount_yuan(inv.TaxAdd, 32));
  out.text(amount_yuan(inv.InvAmt, 32));
  if (is_zero(inv.InvAmt)) out.text(kZeroInvoiceNote);
  out.command(cmd::kFormFeed);
  return true;
}

}  // namespace

constexpr Route kSp300Route = roll_route("SP300", "Print_SP300", Print_SP300);

}  // namespace orvo
