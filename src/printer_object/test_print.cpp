#include "printer_object/channel/channel.h"
#include "printer_object/invoice_printer.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

bool port_unset(const Variant& port) { return port.is_empty() || port.is_null(); }

std::string amount_line(std::string_view label, double amount) {
  return std::string(label) + PadLeftB(Format(Variant(amount), "#,##0"), Variant(7)) + "元 \n";
}

}  // namespace

void InvPrinter::TestPrint() {
  if (port_unset(mvInvPrintPort))
    throw Error(kObjectError, "TestPrint", "請先設定連接埠:InvPrintPort");
  if (mvInvPrintType.is_empty()) mvInvPrintType = Variant("RP420");

  std::int16_t fno = 0;
  try {
    host_->set_busy(true);
    host_->do_events();
    settings_ = read_settings();
    fno = open_channel(settings_);
    initialise_printer(fno);
    send(fno,
         "\x1bz\x01\x1b"
         "d\x04");
    send_text(fno, "機POSID6 序123456  收123\n");
    send_text(fno, "發票號碼:AB12345678\n");
    send(fno,
         "\x1b"
         "d\x01");
    send_text(fno, amount_line("餐費小計: ", 12500));
    send_text(fno, amount_line("服務費  : ", 1250));
    send_text(fno, amount_line("       合計:  ", 13750));
    send_text(fno, ROCDate8(*host_) + " " + format_date(host_->now(), "hh:mm:ss") + "\n");
    send(fno,
         "\x1b"
         "d\x0b\x1bo\x0c");
    close_channel(fno);
  } catch (...) {
    const Error e = current_error();
    finish_print(fno);
    throw reraised("TestPrint", e);
  }
  finish_print(fno);
}

}  // namespace orvo
