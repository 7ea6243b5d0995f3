#include "layouts/roll/store_blocks.h"

#include <algorithm>

#include "layouts/roll/roll_blocks.h"
#include "shared/cp950.h"

namespace orvo {

StoreRow read_store_row(const Recordset& rst) {
  StoreRow row;
  row.itemname = Str(rst.Fields("itemname"));
  row.name = name_with_caption(row.itemname, Str(rst.Fields("PriceCap")));
  row.qty = Val(rst.Fields("Qty"));
  row.amt = Val(rst.Fields("Amt"));
  const double price = Val(rst.Fields("Price"));
  row.item_type = Str(rst.Fields("ItemType"));
  row.voucher = Str(rst.Fields("RefKPType")).empty() && price < 0;
  return row;
}

void print_store_item(RollForm& form, const StoreRow& row, bool blank_qty) {
  std::string text = PadRightB(Variant(Left(row.name, 7)), Variant(14));
  text += blank_qty ? "   " : PadLeftB(Variant(row.qty), Variant(3));
  text += " " + PadLeftB(Variant(row.amt), Variant(5));
  text += row.tax_free() ? " " : "T";
  form.print(text);
  if (Len(row.name) > 7) form.print(Mid(row.name, 8, 10), LineEnd::CRLF);
  form.head();
}

std::string check_code(const Variant& check_no) {
  std::string code = Mid(Str(check_no), 7, 4);
  std::replace(code.begin(), code.end(), '-', '0');
  return code;
}

std::string amount_line(std::string_view caption, const Variant& value, int width) {
  return std::string(caption) + PadLeftB(Variant(Format(value, "#,##0")), Variant(width));
}

}  // namespace orvo
