#include "layouts/roll/form_blocks.h"

#include "layout_kit/commands.h"
#include "layouts/roll/roll_blocks.h"
#include "shared/cp950.h"
#include "shared/host.h"

namespace orvo {

namespace {

// The label PrintInv leaves when neither the settings nor the sale name one.
constexpr std::string_view kDefaultTotalLabel = "消費合計";

}  // namespace

BlockCommands double_width_block() {
  return {std::string(cmd::kDoubleWidthOn), std::string(cmd::kDoubleWidthOff)};
}

std::string amount_yuan(const Variant& v, int width) {
  return PadLeftB(Format(v, "#,##0"), Variant(width)) + "元";
}

void form_heading(const PrintJob& job, ByteSink& out) {
  const InvoiceRecord& inv = job.inv;
  out.text(" ");
  out.text(Str(inv.Head0));
  out.text(PadRightB(Variant(Str(inv.Head1) + "  " + Str(inv.Head3)), Variant(kFormWidth)));
  out.text(Str(inv.Head2));
}

std::string table_or_bill_line(const PrintJob& job) {
  const InvoiceRecord& inv = job.inv;
  const std::string check_code = "檢碼(" + Right(Str(job.inv_no), 4) + ")";
  const std::string gap(8, ' ');
  if (!is_blank(inv.CheckNo)) return "帳單號:" + Str(inv.CheckNo) + gap + check_code;
  if (!job.opt.print_tbl_name) return std::string(25, ' ') + check_code;
  const std::string table = Str(inv.TblName);
  const std::size_t dash = InStr(table, "-");
  return "桌號:" + (dash ? Left(table, dash) : table) + gap + check_code;
}

std::string dated_line(PrintJob& job, bool with_time) {
  std::string line = std::string(6, ' ') + ROCDate8(job.host, job.inv.InvDate);
  if (with_time) line += " " + format_date(job.host.now(), "hh:mm");
  return line;
}

void buyer_block(const PrintJob& job, ByteSink& out, const BlockCommands& block) {
  out.command(block.on);
  out.text(std::string(4, ' ') + (not_trim_blank(job.inv.BNo) ? Str(job.inv.BNo) : ""));
  out.command(block.off);
}

void amounts_block(const PrintJob& job, ByteSink& out, const BlockCommands& block) {
  const InvoiceRecord& inv = job.inv;
  const bool buyer = not_trim_blank(inv.BNo);
  out.command(block.on);
  out.text(amount_yuan(buyer ? subtract(inv.InvAmt, inv.TaxAdd) : inv.InvAmt, 15));
  out.text(buyer ? amount_yuan(inv.TaxAdd, 15) : "  ");
  out.text(amount_yuan(inv.InvAmt, 15));
  out.command(block.off);
}

void summary_form_top(PrintJob& job, ByteSink& out, const BlockCommands& block) {
  out.command(cmd::kInit);
  form_heading(job, out);
  out.text(table_or_bill_line(job));
  out.text(dated_line(job, job.opt.print_time));
  buyer_block(job, out, block);
  out.text("  ");
  out.text("  ");
}

void summary_form_totals(const PrintJob& job, ByteSink& out, const BlockCommands& block) {
  const InvoiceRecord& inv = job.inv;
  out.text(not_trim_blank(inv.BNo) ? " 客戶統編: " + Str(inv.BNo) : std::string(4, ' '));
  const bool bottom_line = !job.opt.no_bottom_line && not_blank(inv.BottomLine1);
  out.text(bottom_line ? " " + Trim(Str(inv.BottomLine1)) : "  ");
  out.text("  ");
  out.command(block.on);
  const std::string& label = job.opt.total_label;
  if (label == kDefaultTotalLabel) {
    out.text(" 餐 費" + amount_yuan(subtract(inv.InvAmt, inv.SCharge), 9));
    out.text(" 服務費" + amount_yuan(inv.SCharge, 9));
  } else {
    out.text(label + amount_yuan(inv.InvAmt, 9));
    out.text("  ------------");
  }
  out.command(block.off);
}

void special_remark_line(const PrintJob& job, ByteSink& out) {
  out.text(job.settings.ip("txtSpecialRemark"));
}

void summary_form_end(const PrintJob& job, ByteSink& out, const BlockCommands& block) {
  amounts_block(job, out, block);
  if (is_zero(job.inv.InvAmt)) out.text(kZeroInvoiceNote);
  out.command(cmd::kFormFeed);
}

}  // namespace orvo
