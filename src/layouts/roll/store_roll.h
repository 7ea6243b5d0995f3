#pragma once
// The FE and CF store printers print one layout on 26-line forms fed out to 36 lines. Its rules'
// defaults are the FE's, and cf.cpp names every way the CF differs.
#include <cstdint>
#include <string_view>

#include "layout_kit/route.h"

namespace orvo {

struct StoreRollRules {
  std::string_view heading_proc =
      "InvPrinter_InvHead_FE";  // the error-log label of the heading's failures

  // Heading.
  bool heads_on_top = false;    // Head0..Head3 (a blank line each when empty), else 4 blank lines
  bool store_no_first = false;  // machine code: the StoreNo setting before Head0, else after
  std::string_view machine_gap = "   ";  // between the machine code and "序"
  bool head1_after_machine_line = true;  // Head1 as the host wrote it; the body starts a line lower

  // Items.
  bool items_only_when_open =
      true;  // a closed recordset prints no items and no blank line after them
  bool follows_detail_flag = true;  // a sale printed without detail shows no item lines
  bool prints_vouchers = true;      // voucher rows are also listed as items
  bool counts_items = false;        // the subtotal line gives the number of rows read

  // Totals.
  std::string_view voucher_caption = " 券抵扣:";
  int voucher_width = 16;
  std::string_view discount_caption = " 折扣額:";
  bool change_instead_of_overpaid = true;  // the host's Change after "找零:" when it has one
};

// Ends a full form and prints the heading of a new one. Errors go to the error log under
// rules.heading_proc and the print goes on.
void store_roll_heading(const StoreRollRules& rules, PrintJob& job, ByteSink& out,
                        std::int16_t& piPage, std::int16_t& piLine);

bool print_store_roll(const StoreRollRules& rules, PrintJob& job, ByteSink& out);

// FE: no invoice number printed, a heading with date, page, machine code, check code and cashier
// on each form, the change or overpayment under the totals. Its heading logs its errors under
// "InvPrinter_InvHead_FE".
void InvHead_FE(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine);
bool Print_FE(PrintJob& job, ByteSink& out);
extern const Route kFeRoute;

// CF: the FE layout with the four heading texts on top, the number of rows on the subtotal line,
// gift vouchers left out of the items and no change line. Its heading logs under "InvHead_CF".
void InvHead_CF(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine);
bool Print_CF(PrintJob& job, ByteSink& out);
extern const Route kCfRoute;

}  // namespace orvo
