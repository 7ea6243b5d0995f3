#pragma once
// A form-printer sale.
#include <string>
#include <vector>

#include "support/printer_fixture.h"
#include "support/sales.h"

namespace orvo::testing {

// The typical sale as a buyer's invoice with 50 of tax in its 1,050.
class FormTest : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    typical_sale(printer);
    printer.TaxAdd = Variant(50);
  }

  // Prints on `type`; the bytes sent.
  std::string print(const char* type, const char* detail = "N",
                    const std::vector<ItemRow>& items = {}) {
    printer.InvPrintType(Variant(type));
    MemoryRecordset rows(items);
    MemoryRecordset closed;
    EXPECT_TRUE(printer.PrintInv(Variant(detail), items.empty() ? static_cast<Recordset&>(closed)
                                                                : static_cast<Recordset&>(rows)));
    return captured();
  }
};

}  // namespace orvo::testing
