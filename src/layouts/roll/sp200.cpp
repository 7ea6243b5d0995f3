// The SP200 summary form. Its text lines end with CR LF, and it works the sales amount and the
// tax out of the total itself (5% business tax, the sales amount rounded half up).
#include "layouts/roll/sp200.h"

#include <string>

#include "layout_kit/commands.h"
#include "layouts/roll/form_blocks.h"
#include "layouts/roll/roll_blocks.h"
#include "shared/cp950.h"
#include "shared/host.h"

namespace orvo {

namespace {

bool Print_SP200(PrintJob& job, ByteSink& out) {
  const InvoiceRecord& inv = job.inv;
  const auto line = [&](const std::string& text) { out.text(text, LineEnd::CRLF); };
  out.command(cmd::kInit);
  for (const Variant* head : {&inv.Head0, &inv.Head1, &inv.Head2}) line(Str(*head));
  line("    " + ROCDate8(job.host, inv.InvDate));
  // A consumer's invoice keeps the line, so everything below stays in place.
  line(not_trim_blank(inv.BNo) ? "    " + Str(inv.BNo) : "");
  for (int i = 0; i < 3; ++i) line("");
  line("  帳單號:" + Str(inv.CheckNo));
  line("    檢碼:" + Right(Str(job.inv_no), 4));
  // The remark goes through the printer's own line command, ended by LF alone.
  if (not_blank(inv.Remark))
    out.command_text(cmd::kTpPrintLine, PadRightB(inv.Remark, Variant(24)), LineEnd::LF);
  out.command(cmd::advance(10));
  const double total = Num(inv.InvAmt);
  const double sales = Int(finite(total / 1.05) + 0.5);
  line("   銷售額:" + amount_yuan(Variant(sales), 9));
  line("   營業稅:" + amount_yuan(Variant(finite(total - sales)), 9));
  line("   總  計:" + amount_yuan(inv.InvAmt, 9));
  out.command(cmd::kFormFeed);
  return true;
}

}  // namespace

constexpr Route kSp200Route = roll_route("SP200", "Print_SP200", Print_SP200);

}  // namespace orvo
