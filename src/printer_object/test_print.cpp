// The test invoice: fixed data in the standard roll printer's commands, whatever the type.
#include "layout_kit/commands.h"
#include "layout_kit/layout_runner.h"
#include "layouts/roll/roll_blocks.h"
#include "printer_object/invoice_printer.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

std::string amount_line(std::string_view label, double amount) {
  return std::string(label) + PadLeftB(Format(Variant(amount), "#,##0"), Variant(7)) + "元 ";
}

bool print_test_invoice(PrintJob& job, ByteSink& out) {
  initialise_printer(job, out);
  out.command(cmd::kBothStations);
  out.command(cmd::feed(4));
  out.text("機POSID6 序123456  收123");
  out.text("發票號碼:AB12345678");
  out.command(cmd::feed(1));
  out.text(amount_line("餐費小計: ", 12500));
  out.text(amount_line("服務費  : ", 1250));
  out.text(amount_line("       合計:  ", 13750));
  out.text(ROCDate8(job.host) + " " + format_date(job.host.now(), "hh:mm:ss"));
  out.command(cmd::feed(11));
  out.command(cmd::kStamp);
  out.command(cmd::kFormFeed);
  return true;
}

}  // namespace

void InvPrinter::TestPrint() {
  start_print("TestPrint");

  BusyPointer busy(*host_);
  host_->do_events();
  const Settings settings = raising_as("TestPrint", [&] { return read_settings(); });
  MemoryRecordset no_items;
  const Variant no_detail;
  PrintJob job{*this, mvInvNo, opt_, settings, *host_, no_items, no_detail};
  run_roll_layout("TestPrint", OnFailure::Raise, print_test_invoice, job,
                  {channels(), Str(mvInvPrintPort), port_opener_});
}

}  // namespace orvo
