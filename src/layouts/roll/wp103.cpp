// The WP103 summary form. Its blocks are print modes (21 hex on, 01 off), its remark line is
// always printed, and blank lines bring the paper to the special remark.
#include "layouts/roll/wp103.h"

#include "layout_kit/commands.h"
#include "layouts/roll/form_blocks.h"

namespace orvo {

namespace {

bool Print_WP103(PrintJob& job, ByteSink& out) {
  const BlockCommands block{cmd::print_mode(0x21), cmd::print_mode(0x01)};
  summary_form_top(job, out, block);
  out.text(" " + Trim(Str(job.inv.Remark)));
  summary_form_totals(job, out, block);
  for (int i = 0; i < 4; ++i) out.text(" ");
  special_remark_line(job, out);
  out.text("");
  out.text("");
  summary_form_end(job, out, block);
  return true;
}

}  // namespace

constexpr Route kWp103Route = roll_route("WP103", "Print_WP103", Print_WP103);

}  // namespace orvo
