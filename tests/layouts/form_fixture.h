#pragma once
// A form-printer sale and the form printers' command bytes spelled out.
#include <string>
#include <vector>

#include "support/printer_fixture.h"
#include "support/sales.h"

namespace orvo::testing {

inline const std::string kDoubleOn = ESC + "x\x01\x0e";
inline const std::string kDoubleOff = ESC + "x\x01\x14";
inline std::string advance(int n) { return ESC + "a" + static_cast<char>(n); }
inline std::string print_mode(int n) { return ESC + "!" + static_cast<char>(n); }
// The top lines of the typical sale on the 34-column forms: Head1 and Head3 cut at 34.
inline const std::string kFormTop = " \n好味餐廳\n台北市中正區重慶南路1號  統編:1234\n\n";

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
