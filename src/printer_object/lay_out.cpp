// The check run: a sale laid out into memory before it is printed for real.
#include <memory>
#include <utility>

#include "channel/port_memory.h"
#include "printer_object/invoice_printer.h"
#include "printer_object/print_dispatch.h"
#include "shared/errlog.h"

namespace orvo {

namespace {

// The host's clock, and nothing the operator would see or wait for.
class QuietHost : public Host {
 public:
  explicit QuietHost(std::shared_ptr<Host> real) : real_(std::move(real)) {}
  void beep() override {}
  void message_box(const std::string&, BoxIcon) override {}
  void set_busy(bool) override {}
  void do_events() override {}
  void show_message(const std::string&, std::int16_t) override {}
  DateValue now() override { return real_->now(); }
  void sleep_ms(long) override {}

 private:
  std::shared_ptr<Host> real_;
};

}  // namespace

void InvPrinter::dry_run(const Variant& pvDetail, Recordset& pRST, PortOpener opener) const {
  // Drawing would deliver the sheet: the page host is shared, not copied.
  const std::string type = mvInvPrintType.is_empty() ? "RP420" : Str(mvInvPrintType);
  if (route_for(type, text_eq(pvDetail, "Y")).page.draw != nullptr) {
    throw Error(kObjectError, "lay_out",
                type +
                    " is a page printer type: it draws a page, not bytes; print it to a page "
                    "output file to see it");
  }
  InvPrinter copy(*this);
  copy.host_ = std::make_shared<QuietHost>(host_);
  copy.port_opener_ = std::move(opener);
  // What the print only logs and survives (a date that is no date) is no failure; what made a
  // store layout give up is.
  const ErrLogCapture logged;
  if (!copy.PrintInv(pvDetail, pRST)) {
    if (logged.last()) throw *logged.last();
    throw Error(kObjectError, "PrintInv", "the layout reported that it did not print");
  }
}

std::string InvPrinter::lay_out(const Variant& pvDetail, Recordset& pRST) const {
  auto port = std::make_shared<MemoryPortLog>();
  dry_run(pvDetail, pRST, memory_port_opener(port));
  return port->bytes();
}

std::uint64_t InvPrinter::check(const Variant& pvDetail, Recordset& pRST) const {
  auto port = std::make_shared<MemoryPortLog>();
  port->keep = false;
  dry_run(pvDetail, pRST, memory_port_opener(port));
  return port->byte_count;
}

}  // namespace orvo
