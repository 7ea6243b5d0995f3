#pragma once
// What the store printers (DAYEH, FE, CF) print alike: an item row as they read it, its line and
// continuation line, the check code and the amount lines.
#include <cstdint>
#include <string>
#include <string_view>

#include "layout_kit/byte_sink.h"
#include "layout_kit/roll_form.h"
#include "recordset/recordset.h"
#include "shared/variant.h"

namespace orvo {

struct StoreRow {
  std::string itemname;
  std::string name;  // itemname, and "-" PriceCap unless the caption is "" or "時價"
  std::string item_type;
  double qty = 0;
  double amt = 0;
  // A gift voucher handed over in payment: no kitchen type and a negative price.
  bool voucher = false;

  bool tax_free() const { return Left(item_type, 2) == "NT"; }
};

// Reads the seven fields of the current record; the amounts are the leading numbers of their
// text, so a field that is no number counts 0.
StoreRow read_store_row(const Recordset& rst);

// The item line (7 characters of the name, quantity or three blanks, amount, tax mark) and, for a
// longer name, its characters 8 to 17 on a line ended by CR LF; then the heading routine.
void print_store_item(RollForm& form, const StoreRow& row, bool blank_qty);

// Characters 7 to 10 of the bill number, a "-" printed as "0"; shorter bill numbers give less.
std::string check_code(const Variant& check_no);

// caption & PadLeftB(Format(value, "#,##0"), width).
std::string amount_line(std::string_view caption, const Variant& value, int width);

}  // namespace orvo
