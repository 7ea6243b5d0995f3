#pragma once
// What the 36-line roll printers of the restaurant family (RP420A, KTV420, TP3688) print alike.
#include <cstdint>
#include <string>

#include "layout_kit/byte_sink.h"
#include "layout_kit/print_job.h"

namespace orvo {

// "檢碼(" & the last four characters of InvNo & ") 機" & POSID in four columns & "  ": the check
// code line up to where the page number may follow. A shorter InvNo prints whole.
std::string check_code_line(const PrintJob& job);

// One item row, read in the order the host's recordset is asked for it: texts as given (Null as
// ""), quantity and amount as the leading number of their text.
struct ItemFields {
  std::string name;
  std::string price_cap;
  double qty = 0;
  double amt = 0;
  std::string type;

  bool non_taxed() const;  // an "NT..." type: no tax mark, and not in the taxed amount
  // A row a "chkInvNoS2A1" sale leaves out: amount 0 in one of the types zero_skippable_type names.
  bool zero_skippable() const;
};
ItemFields read_item(const Recordset& rst);
// The name printed for the row: its kitchen-printer type when chkItemUseKPType asks for it.
std::string item_name(const PrintJob& job, const Recordset& rst, const ItemFields& item);

// The ten columns after the name: quantity in three (three spaces when quantities are hidden),
// a space, the amount in five and the tax mark "T" or " ".
std::string item_figures(const ItemFields& item, bool hide_qty);

// Quantities are hidden by the remark "InvNoPrintQty" exactly.
bool hides_quantities(const PrintJob& job);

}  // namespace orvo
