// The SP320 summary form, printed when the sale's items are not wanted. The same form as the
// WP103's, but its blocks are double width, the remark honours the no-remark option, and the
// printer advances to the special remark instead of printing blank lines.
#include "layouts/roll/sp320.h"

#include "layout_kit/commands.h"
#include "layouts/roll/form_blocks.h"

namespace orvo {

namespace {

bool Print_SP320(PrintJob& job, ByteSink& out) {
  const BlockCommands block = double_width_block();
  summary_form_top(job, out, block);
  const bool remark = not_blank(job.inv.Remark) && !job.opt.no_remark;
  out.text(remark ? " " + Trim(Str(job.inv.Remark)) : " ");
  summary_form_totals(job, out, block);
  out.command(cmd::advance(4));
  special_remark_line(job, out);
  out.text("");
  summary_form_end(job, out, block);
  return true;
}

}  // namespace

constexpr Route kSp320Route =
    roll_route("SP320", "Print_SP320", Print_SP320, OnFailure::Raise, When::NotDetail);

}  // namespace orvo
