#include "layouts/roll/roll36_blocks.h"

#include "layout_kit/commands.h"
#include "layouts/roll/roll_blocks.h"
#include "shared/cp950.h"

namespace orvo {

std::string check_code_line(const PrintJob& job) {
  return "檢碼(" + Right(Str(job.inv_no), 4) + ") " + "機" + PadLeftB(job.inv.POSID, Variant(4)) +
         "  ";
}

bool ItemFields::non_taxed() const { return Left(type, 2) == "NT"; }

bool ItemFields::zero_skippable() const { return amt == 0 && zero_skippable_type(type); }

std::string item_name(const PrintJob& job, const Recordset& rst, const ItemFields& item) {
  return job.opt.item_name_from_kitchen_type() ? Str(rst.Fields("RefKPType")) : item.name;
}

ItemFields read_item(const Recordset& rst) {
  ItemFields item;
  item.name = Str(rst.Fields("itemname"));
  item.price_cap = Str(rst.Fields("PriceCap"));
  item.qty = Val(rst.Fields("Qty"));
  item.amt = Val(rst.Fields("Amt"));
  item.type = Str(rst.Fields("ItemType"));
  return item;
}

std::string item_figures(const ItemFields& item, bool hide_qty) {
  return (hide_qty ? std::string("   ") : PadLeftB(Variant(item.qty), Variant(3))) + " " +
         PadLeftB(Variant(item.amt), Variant(5)) + (item.non_taxed() ? " " : "T");
}

bool hides_quantities(const PrintJob& job) { return text_eq(job.inv.Remark, "InvNoPrintQty"); }

}  // namespace orvo
