#pragma once
// An InvPrinter whose page types draw on a page printer of fakes: queues, fixed text metrics and
// a recording renderer.
#include <memory>

#include "page_printer_host/host_window.h"
#include "page_printer_host/page_fakes.h"
#include "support/printer_fixture.h"
#include "support/sales.h"

namespace orvo::testing {

class PageTest : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    typical_sale(printer);
    use(printer);
    queues->current = "Office";
  }

  // Points `p` at this test's page printer, delivering to the queues.
  void use(InvPrinter& p) {
    p.set_page_window(window);
    p.set_page_output(std::filesystem::path());
  }

  bool print(const char* type) {
    printer.InvPrintType(Variant(type));
    MemoryRecordset none;
    return printer.PrintInv(Variant("N"), none);
  }

  page::PagePrinter& vsp() { return window->vsp(); }

  std::shared_ptr<FakeQueues> queues = std::make_shared<FakeQueues>();
  std::shared_ptr<FakeRenderer> renderer = std::make_shared<FakeRenderer>();
  std::shared_ptr<page::PageHostWindow> window = std::make_shared<page::PageHostWindow>(
      std::make_unique<page::PagePrinter>(queues, std::make_shared<FixedMetrics>(), renderer));
};

}  // namespace orvo::testing
