// The TP3688 layout: 24 byte columns, 24 lines to a form, every line one printer command.
#include "layouts/roll/tp3688.h"

#include <string>

#include "layout_kit/commands.h"
#include "layout_kit/layout_runner.h"
#include "layout_kit/roll_form.h"
#include "layouts/roll/roll36_blocks.h"
#include "layouts/roll/roll_blocks.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

constexpr int kWidth = 24;

void print_line(ByteSink& out, std::string_view text, LineEnd = LineEnd::CR) {
  out.command_text(cmd::kTpPrintLine, text, LineEnd::CR);
}

// Before a body line: ends a full form (after line 24) and prints the nine heading lines on a new
// one. The invoice number stays that of the first form and no roll prompt is shown.
void InvHead_TP3688(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine) {
  raising_as("InvHead_TP3688", [&] {
    const InvoiceRecord& inv = job.inv;
    next_form_after(24, piPage, piLine, [&] { out.command(cmd::kTpEndOfForm); });
    if (piLine >= 2) return;

    for (const Variant* head : {&inv.Head0, &inv.Head1, &inv.Head2, &inv.Head3}) {
      if (is_blank(*head))
        out.command(cmd::kTpBlankLine);
      else
        print_line(out, PadRightB(*head, Variant(kWidth)));
    }
    print_line(out, "日期:" + format_date(job.host.now(), "YYYY-MM-DD hh:mm"));
    print_line(out, "店:" + PadRightB(inv.StoreID, Variant(10)) + "  " +
                        "收:" + PadLeftB(inv.UserID, Variant(6)));
    print_line(out, check_code_line(job) + "頁:" + Format(Variant(piPage), "00"));
    std::string table;
    if (job.opt.print_tbl_name) {
      const std::string tbl = Str(inv.TblName);
      const std::size_t dash = InStr(tbl, "-");
      table = "桌號:" + (dash ? Left(tbl, dash) : tbl);
    } else {
      table = not_blank(inv.CheckNo) ? "帳單:" + Str(inv.CheckNo) : "  ";
    }
    print_line(out, table);
    print_line(out, not_blank(inv.BNo) ? "客戶統編: " + Str(inv.BNo) : " ");
    piLine = 10;
  });
}

class TP3688 : RollRun {
 public:
  TP3688(PrintJob& job, ByteSink& out) : RollRun(job, out, InvHead_TP3688, print_line) {}

  bool run() {
    out_.command(cmd::kTpReset);
    Pause(job_.host, 0.5);
    job_.host.do_events();
    form_.start();
    if (not_blank(inv_.Remark)) form_.print_then_head(PadRightB(inv_.Remark, Variant(kWidth)));
    if (!job_.opt.detail && is_blank(inv_.CheckNo))
      short_form();
    else
      detail_form();
    out_.command(cmd::kTpEndOfForm);
    return form_.finish();
  }

 private:
  void print(const std::string& text) { form_.print(text); }

  // Right-aligned under the short form's total, left-aligned under the detail form's. Printed
  // lines are cleared so that a reprint without new values leaves them out.
  void closing_lines(std::string (*align)(const Variant&, const Variant&)) {
    if (is_zero(inv_.InvAmt)) {
      print(std::string(kZeroInvoiceNote));
    } else if (!job_.opt.no_bottom_line) {
      const auto line = [&](const std::string& t) { print(align(Variant(t), Variant(kWidth))); };
      form_.bottom_lines(line, line);
    }
  }

  void short_form() {
    print("  ");
    print("  ");
    print(PadLeftB("合計金額: " + Format(inv_.InvAmt, "#,##0") + "元", Variant(kWidth)));
    closing_lines(PadLeftB);
  }

  void item(const ItemFields& item, bool hide_qty) {
    const std::string name = item.price_cap.empty() ? item.name : item.name + "-" + item.price_cap;
    print(PadRightB(Left(name, 7), Variant(14)) + item_figures(item, hide_qty));
    if (Len(name) > 7) print(Mid(name, 8, 10));
    form_.head();
  }

  void detail_form() {
    Recordset& rst = job_.items;
    if (job_.opt.detail && rst.State() == 1) {
      const bool hide_qty = hides_quantities(job_);
      for (; !rst.Eof(); rst.MoveNext()) item(read_item(rst), hide_qty);
    }
    form_.command(cmd::kTpBlankLine, 1);
    form_.head();
    form_.print_then_head("消費小計:" + amount7(inv_.OrderAmt));
    const struct {
      const char* caption;
      const Variant* value;
    } sums[] = {
        {"  服務費:", &inv_.SCharge}, {"  折扣額:", &inv_.Discount}, {"  加計項:", &inv_.TaxAdd}};
    for (const auto& s : sums) {
      if (Val(*s.value) > 0) form_.print_then_head(s.caption + amount7(*s.value));
    }
    print(PadLeftB("消費合計: " + Format(inv_.InvAmt, "#,##0") + "元", Variant(kWidth)));
    closing_lines(PadRightB);
  }
};

// Clears the bottom lines it prints.
bool Print_TP3688(PrintJob& job, ByteSink& out) { return TP3688(job, out).run(); }

}  // namespace

constexpr Route kTp3688Route =
    roll_route("TP3688", "Print_TP3688", Print_TP3688).keeping_errors_of("InvHead_TP3688");

}  // namespace orvo
