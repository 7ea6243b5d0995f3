#pragma once
// A store sale shared by the DAYEH, FE and CF tests: three goods (one long-named and tax-free, one
// at market price) and gift vouchers handed over in payment.
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

  // A fresh sale for the next case of a table.
  void reset() {
    for (const auto& f : InvoiceRecord::kFields) printer.*f.member = Variant();
    SetUp();
  }
};

// A case of an edge table: what the printout holds and what it must not.
struct Fragments {
  std::vector<std::string> present, absent;
};

inline void expect_fragments(const std::string& printed_cp950, const Fragments& f) {
  const std::string out = from_cp950(printed_cp950);
  for (const auto& s : f.present) EXPECT_NE(out.find(s), std::string::npos) << s << "\n" << out;
  for (const auto& s : f.absent) EXPECT_EQ(out.find(s), std::string::npos) << s << "\n" << out;
}

inline ItemRow voucher(const std::string& name, double amt) {
  return item_row(name, 1, amt, "X", "", amt, "");
}

inline std::vector<ItemRow> store_goods() {
  return {item_row("蘋果汁", 2, 120), item_row("有機高山烏龍茶葉禮盒", 1, 300, "NT1", "大"),
          item_row("香蕉", 1.5, 45, "A1", "時價")};
}

inline std::vector<ItemRow> one_line_items(int n) {
  std::vector<ItemRow> rows;
  for (int i = 1; i <= n; ++i) rows.push_back(item_row("品" + std::to_string(i), 1, 10));
  return rows;
}

inline std::string item_lines(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) {
    const std::string name = "品" + std::to_string(i);
    s += name + std::string(16 - name.size() + 1, ' ') + "1    10T\n";
  }
  return s;
}

// The FE and CF date line up to the page number, for the tests' clock.
inline const std::string kDateLine = "2010-03-05  14:30  頁:";

}  // namespace orvo::testing
