#pragma once
// A typical sale with every field a layout may print, for tests that need a realistic invoice
// rather than particular values.
#include <string>
#include <vector>

#include "printer_object/invoice_printer.h"

namespace orvo::testing {

using ItemRow = MemoryRecordset::Row;

inline ItemRow item_row(const std::string& name, double qty, double amt, const char* type = "A1",
                        const char* cap = "", double price = 0, const char* kp = "K1",
                        const char* remark = "") {
  return {{"itemname", Variant(name)}, {"PriceCap", Variant(cap)}, {"Qty", Variant(qty)},
          {"Price", Variant(price != 0 ? price : amt)}, {"Amt", Variant(amt)},
          {"ItemType", Variant(type)}, {"RefKPType", Variant(kp)}, {"Remark", Variant(remark)}};
}

inline void typical_sale(InvPrinter& p) {
  p.InvNo(Variant("AB12345249"));  // a second form crosses a roll change
  p.POSID = Variant("3");
  p.TblName = Variant("A12-1");
  p.CheckNo = Variant("A0001");
  p.InvDate = Variant("2010/3/5");
  p.BNo = Variant("24536806");
  p.UserID = Variant("王小明");
  p.StoreID = Variant("S01");
  p.Head0 = Variant("好味餐廳");
  p.Head1 = Variant("台北市中正區重慶南路1號");
  p.Head2 = Variant("");
  p.Head3 = Variant("統編:12345678");
  p.OrderAmt = Variant(1000);
  p.SCharge = Variant(100);
  p.Discount = Variant(50);
  p.TaxAdd = Variant(0);
  p.InvAmt = Variant(1050);
  p.Cash = Variant(2000);
  p.Change = Variant(950);
  p.Remark = Variant("請再度光臨");
  p.CCardNo = Variant("4311-1234");
  p.CCardRef = Variant("R77");
  p.BottomLine1 = Variant("謝謝光臨");
  p.BottomLine2 = Variant("歡迎再來");
}

// `n` one-line items, a long-named one and a deduction.
inline std::vector<ItemRow> typical_items(int n) {
  std::vector<ItemRow> rows;
  for (int i = 1; i <= n; ++i) rows.push_back(item_row("品項" + std::to_string(i), 1, 10 * i));
  rows.push_back(item_row("招牌紅燒牛肉麵加大", 2, 560, "NT1", "大"));
  rows.push_back(item_row("折價券", 1, -30, "X", "", -30, ""));
  return rows;
}

}  // namespace orvo::testing
