// The TP3688 layout: 24 byte columns, 24 lines to a form, every line one printer command.
#include "layouts/roll/tp3688.h"

#include <string>

#include "layouts/roll/roll36_blocks.h"
#include "layouts/roll/roll_blocks.h"
#include "printer_object/channel/commands.h"
#include "printer_object/layout_runner.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

constexpr int kWidth = 24;

void print_line(ByteSink& out, const std::string& text) {
  out.command_text(cmd::kTpPrintLine, text, LineEnd::CR);
}

class TP3688 {
 public:
  TP3688(PrintJob& job, ByteSink& out) : job_(job), inv_(job.inv), out_(out) {}

  bool run() {
    out_.command(cmd::kTpReset);
    Pause(job_.host, 0.5);
    job_.host.do_events();
    inv_.PageCount = Variant(1);
    head();
    if (not_blank(inv_.Remark)) {
      print(PadRightB(inv_.Remark, Variant(kWidth)));
      head();
    }
    if (!job_.opt.detail && is_blank(inv_.CheckNo))
      short_form();
    else
      detail_form();
    out_.command(cmd::kTpEndOfForm);
    inv_.PageCount = Variant(page_);
    return true;
  }

 private:
  void head() { InvHead_TP3688(job_, out_, page_, line_); }

  void print(const std::string& text) {
    print_line(out_, text);
    line_ = add16(line_, 1);
  }

  // Right-aligned under the short form's total, left-aligned under the detail form's. Printed
  // lines are cleared so that a reprint without new values leaves them out.
  void bottom_lines(std::string (*align)(const Variant&, const Variant&)) {
    if (!not_blank(inv_.BottomLine1) || job_.opt.no_bottom_line) return;
    print(align(inv_.BottomLine1, Variant(kWidth)));
    inv_.BottomLine1 = Variant("");
    if (not_blank(inv_.BottomLine2)) {
      print(align(inv_.BottomLine2, Variant(kWidth)));
      inv_.BottomLine2 = Variant("");
    }
  }

  void closing_lines(std::string (*align)(const Variant&, const Variant&)) {
    if (is_zero(inv_.InvAmt))
      print(" (發票歸零,無法對獎)");
    else
      bottom_lines(align);
  }

  void short_form() {
    print("  ");
    print("  ");
    print(PadLeftB("合計金額: " + Format(inv_.InvAmt, "#,##0") + "元", Variant(kWidth)));
    closing_lines(PadLeftB);
  }

  void item(const ItemFields& item, bool hide_qty) {
    const std::string name =
        item.price_cap.empty() ? item.name : item.name + "-" + item.price_cap;
    print_line(out_, PadRightB(Left(name, 7), Variant(14)) + item_figures(item, hide_qty));
    if (Len(name) > 7) {
      print_line(out_, Mid(name, 8, 10));
      line_ = add16(line_, 1);
    }
    line_ = add16(line_, 1);
    head();
  }

  void detail_form() {
    Recordset& rst = job_.items;
    if (job_.opt.detail && rst.State() == 1) {
      const bool hide_qty = hides_quantities(job_);
      for (; !rst.Eof(); rst.MoveNext()) item(read_item(rst), hide_qty);
    }
    out_.command(cmd::kTpBlankLine);
    line_ = add16(line_, 1);
    head();
    print("消費小計:" + amount7(inv_.OrderAmt));
    head();
    const struct {
      const char* caption;
      const Variant* value;
    } sums[] = {{"  服務費:", &inv_.SCharge}, {"  折扣額:", &inv_.Discount}, {"  加計項:", &inv_.TaxAdd}};
    for (const auto& s : sums) {
      if (Val(*s.value) > 0) {
        print(s.caption + amount7(*s.value));
        head();
      }
    }
    print(PadLeftB("消費合計: " + Format(inv_.InvAmt, "#,##0") + "元", Variant(kWidth)));
    closing_lines(PadRightB);
  }

  PrintJob& job_;
  InvoiceRecord& inv_;
  ByteSink& out_;
  std::int16_t page_ = 1;
  std::int16_t line_ = 1;
};

}  // namespace

void InvHead_TP3688(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine) {
  raising_as("InvHead_TP3688", [&] {
    const InvoiceRecord& inv = job.inv;
    if (piLine > 24) {
      out.command(cmd::kTpEndOfForm);
      piPage = add16(piPage, 1);
      piLine = 1;
    }
    if (piLine >= 2) return;

    for (const Variant* head : {&inv.Head0, &inv.Head1, &inv.Head2, &inv.Head3}) {
      if (is_blank(*head))
        out.command(cmd::kTpBlankLine);
      else
        print_line(out, PadRightB(*head, Variant(kWidth)));
    }
    print_line(out, "日期:" + format_date(job.host.now(), "YYYY-MM-DD hh:mm"));
    print_line(out, "店:" + PadRightB(inv.StoreID, Variant(10)) + "  " + "收:" +
                        PadLeftB(inv.UserID, Variant(6)));
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

bool Print_TP3688(PrintJob& job, ByteSink& out) { return TP3688(job, out).run(); }

}  // namespace orvo
