#pragma once
// A store sale for the DAYEH, FE and CF members: three goods, one long-named and tax-free, one at
// market price.
#include <string>
#include <vector>

#include "support/fd_count.h"
#include "support/printer_fixture.h"
#include "support/sales.h"

namespace orvo::testing {

class StoreTest : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    printer.InvNo(Variant("AB12345678"));
    printer.CheckNo = Variant("20100305-12");
    printer.UserID = Variant("A03");
    printer.StoreID = Variant("D01");
    printer.POSID = Variant("02");
    printer.BottomLine1 = Variant("謝謝光臨");
    printer.BottomLine2 = Variant("歡迎再來");
  }

  // Prints through PrintInv as `type`; a raised error fails the test.
  bool print(const char* type, std::vector<ItemRow> rows, const char* detail = "Y") {
    printer.InvPrintType(Variant(type));
    MemoryRecordset items(std::move(rows));
    return printer.PrintInv(Variant(detail), items);
  }

  std::string log() const { return from_cp950(read_file(dir_ / "error.log")); }
};

inline std::vector<ItemRow> store_goods() {
  return {item_row("蘋果汁", 2, 120), item_row("有機高山烏龍茶葉禮盒", 1, 300, "NT1", "大"),
          item_row("香蕉", 1.5, 45, "A1", "時價")};
}

}  // namespace orvo::testing
