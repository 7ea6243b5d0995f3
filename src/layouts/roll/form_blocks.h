#pragma once
// What the form printers (SP320 with and without items, WP103, SP300, SP200) print the same way.
// Each printer's own file keeps what makes it different.
#include <string>
#include <string_view>

#include "layout_kit/byte_sink.h"
#include "layout_kit/print_job.h"
#include "layout_kit/roll_form.h"
#include "shared/variant.h"

namespace orvo {

// The 34 columns of the SP320 and WP103 forms.
inline constexpr int kFormWidth = 34;

// The commands that open and close an emphasised block: double width on the SP320, a print mode
// on the WP103.
struct BlockCommands {
  std::string on, off;
};
// ESC "x" 1 SO ... ESC "x" 1 DC4, the SP320's blocks.
BlockCommands double_width_block();

// PadLeftB(Format(v, "#,##0"), width) & "元".
std::string amount_yuan(const Variant& v, int width);

// " ", Head0, Head1 and Head3 side by side in 34 columns, Head2: the top of the SP320 and WP103
// forms, and of each SP320 continuation form.
void form_heading(const PrintJob& job, ByteSink& out);
// The table (when the table name is to be printed) or the bill number, then the check code: the
// last four characters of the invoice number.
std::string table_or_bill_line(const PrintJob& job);
// Six spaces, the invoice date in the ROC calendar, and with `with_time` the clock's hh:mm.
std::string dated_line(PrintJob& job, bool with_time);
// The buyer's number (or four spaces) inside the block commands.
void buyer_block(const PrintJob& job, ByteSink& out, const BlockCommands& block);
// Sales amount, tax and total, each in 15 columns and "元", inside the block commands. A buyer's
// invoice shows the sales amount without the tax; a consumer's shows the total and no tax.
void amounts_block(const PrintJob& job, ByteSink& out, const BlockCommands& block);

// The summary form of the WP103 and the SP320 without items, in the pieces both print alike.
// Up to the buyer block.
void summary_form_top(PrintJob& job, ByteSink& out, const BlockCommands& block);
// After the remark line: buyer number, bottom line, the totals block.
void summary_form_totals(const PrintJob& job, ByteSink& out, const BlockCommands& block);
// The "txtSpecialRemark" setting as a line.
void special_remark_line(const PrintJob& job, ByteSink& out);
// The amounts block, the zero-invoice note and the form feed.
void summary_form_end(const PrintJob& job, ByteSink& out, const BlockCommands& block);

}  // namespace orvo
