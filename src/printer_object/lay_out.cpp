// The check run: a sale laid out into memory before it is printed for real.
#include <memory>
#include <utility>

#include "printer_object/channel/port_memory.h"
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

std::string InvPrinter::lay_out(const Variant& pvDetail, Recordset& pRST) const {
  // Drawing would deliver the sheet: the page host is shared, not copied.
  const std::string type = mvInvPrintType.is_empty() ? "RP420" : Str(mvInvPrintType);
  if (route_for(type, text_eq(pvDetail, "Y")).page.draw != nullptr) {
    throw Error(kObjectError, "lay_out",
                type + " is a page printer type: it draws a page, not bytes; print it to a page "
                       "output file to see it");
  }
  InvPrinter copy(*this);
  copy.host_ = std::make_shared<QuietHost>(host_);
  auto port = std::make_shared<MemoryPortLog>();
  copy.port_opener_ = memory_port_opener(port);
  const ErrLogRaises raising;
  if (!copy.PrintInv(pvDetail, pRST)) {
    throw Error(kObjectError, "PrintInv", "the layout reported that it did not print");
  }
  return port->bytes();
}

}  // namespace orvo
