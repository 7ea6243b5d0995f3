#pragma once
// What the 36-line roll printers of the restaurant family (RP420A, KTV420, TP3688) print alike.
#include <cstdint>
#include <string>

#include "printer_object/byte_sink.h"
#include "printer_object/print_job.h"

namespace orvo {

// Feeds the rest of a 36-line form from `line`, stamps it and feeds it out.
void feed_out_form(ByteSink& out, std::int16_t line);

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
};
ItemFields read_item(const Recordset& rst);

// The ten columns after the name: quantity in three (three spaces when quantities are hidden),
// a space, the amount in five and the tax mark "T" or " ".
std::string item_figures(const ItemFields& item, bool hide_qty);

// Quantities are hidden by the remark "InvNoPrintQty" exactly.
bool hides_quantities(const PrintJob& job);

}  // namespace orvo
