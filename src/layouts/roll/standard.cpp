// The standard roll layout: 24 byte columns on 36-line invoice forms of the two-station RP420.
#include "layouts/roll/standard.h"

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
constexpr std::string_view kRollChangePrompt = "請更換發票後按[確定]";
constexpr std::int16_t kRollChangeSeconds = 900;

// The invoice number of form `page`: InvNo on the first form, then its number part counted on.
std::string invoice_number_of_form(const Variant& inv_no, std::int16_t page) {
  const std::string no = Str(inv_no);
  if (page <= 1) return no;
  // Read as any number in arithmetic is: spaces around, grouping and the like are allowed.
  const std::optional<double> number = parse_number(Mid(no, 3));
  if (!number)
    raise(err::kTypeMismatch,
          "Type mismatch: InvNo \"" + no + "\" has no invoice number from its third character on");
  return Left(no, 2) + number_text(finite(*number + page - 1));
}

bool ends_a_roll(const std::string& number) {
  const std::string tail = Right(number, 3);
  return tail == "000" || tail == "250" || tail == "500" || tail == "750";
}

std::string table_line(const PrintJob& job) {
  const InvoiceRecord& inv = job.inv;
  if (job.opt.print_tbl_name) {
    const std::string tbl = Str(inv.TblName);
    const std::size_t dash = InStr(tbl, "-");
    return "T: " + (dash ? Left(tbl, dash) : tbl);
  }
  return not_blank(inv.CheckNo) ? "帳單:" + Str(inv.CheckNo) : "  ";
}

// One run of the layout: the counters and the line writer every mode shares.
class StandardRoll : RollRun {
 public:
  StandardRoll(PrintJob& job, ByteSink& out) : RollRun(job, out, InvHead) {}

  // print as a callable, for the bottom lines.
  auto printer() {
    return [this](const std::string& text) { print(text); };
  }

  bool run() {
    start_two_station_roll(job_, out_);
    if (job_.opt.no_inv_copy) out_.command(cmd::kInvoiceStationOnly);
    form_.start();
    const bool print_more = job_.settings.ip("chkPrintMore") == "Y";
    skip_zero_s2a1_ = job_.settings.ip("chkInvNoS2A1") == "Y";
    if (job_.opt.detail) {
      detail();
    } else {
      form_.feed(2);
      form_.head();
      if (Left(Str(inv_.TblName), 2) == "收訂") {
        print(PadLeftB("訂金: " + Format(inv_.InvAmt, "#,##0") + "元", Variant(kWidth)));
        if (!job_.opt.no_bottom_line) form_.bottom_lines(printer(), nullptr);
      } else {
        if (!job_.opt.total_from_sale && print_more && job_.items.State() == 1)
          summary();
        else
          total_line();
        closing_lines();
      }
    }
    form_.feed_out();
    return form_.finish();
  }

 private:
  void print(const std::string& text) { form_.print(text); }
  // A body line of the detail mode: the heading routine first, as it may start a new form.
  void next(const std::string& text) { form_.head_then_print(text); }

  const std::string& label() const { return job_.opt.total_label; }

  void total_line() {
    print(PadLeftB(label() + ": " + Format(inv_.InvAmt, "#,##0") + "元", Variant(kWidth)));
  }

  void summary() {
    Recordset& rst = job_.items;
    double ia = 0, other = 0;
    while (!rst.Eof()) {
      const std::string kp = Str(rst.Fields("RefKPType"));
      const std::string type = Str(rst.Fields("ItemType"));
      const double price = Val(rst.Fields("Price"));
      const double amt = Val(rst.Fields("Amt"));
      const double qty = Val(rst.Fields("Qty"));
      if (kp.empty() && price < 0 && qty > 0) (type == "IA" ? ia : other) += amt;
      rst.MoveNext();
    }
    // A row shows when Val of its field is not 0; it prints the field itself, so "1,000" shows
    // 1,000 and a text that is no number fails where the sum needs it.
    if (Val(inv_.OrderAmt) != 0) {
      print((label() == "合計" ? "   食 品:" : "   餐 飲:") +
            amount7(Variant(Num(inv_.OrderAmt) - ia - other)));
    }
    const struct {
      const char* caption;
      const Variant* value;
    } fields[] = {
        {"  服務費:", &inv_.SCharge}, {"  折扣額:", &inv_.Discount}, {"  溢  收:", &inv_.TaxAdd}};
    for (const auto& f : fields)
      if (Val(*f.value) != 0) print(f.caption + amount7(*f.value));
    if (other != 0) print("  扣抵項:" + amount7(Variant(other)));
    if (ia != 0) print("  IA抵扣:" + amount7(Variant(ia)));
    print("--------------------");
    print("    " + label() + ": " + Format(inv_.InvAmt, "#,##0") + "元");
  }

  void closing_lines() {
    if (!zero_note_or_change(form_, inv_) && not_blank(inv_.Remark) && !job_.opt.no_remark)
      print(PadRightB(inv_.Remark, Variant(kWidth)));
    if (!job_.opt.no_bottom_line) form_.bottom_lines(printer(), printer());
  }

  void item(Recordset& rst, bool blank_qty) {
    const ItemFields it = read_item(rst);
    if (skip_zero_s2a1_ && it.zero_skippable()) return;
    const std::string& type = it.type;
    const double qty = it.qty, amt = it.amt;
    const std::string full = name_with_caption(item_name(job_, rst, it), it.price_cap);
    const bool long_name = byte_width(full) > 14;
    std::string columns = PadRightB(long_name ? Left(full, 7) : full, Variant(14));
    columns += blank_qty ? "   " : PadLeftB(Variant(qty), Variant(3));
    if (amt > 99999) {
      columns += PadLeftB(Variant(amt), Variant(7));
    } else if (Left(type, 2) == "NT") {
      columns += PadLeftB(Variant(amt), Variant(5)) + "TZ";
    } else if (type == "BP") {
      columns += PadLeftB(Variant(qty * Val(rst.Fields("Remark"))), Variant(5)) + "點";
    } else {
      columns += PadLeftB(Variant(amt), Variant(5)) + "TX";
    }
    next(columns);
    if (long_name) {
      form_.head();
      form_.print(Mid(full, 8, 10), LineEnd::CRLF);
    }
  }

  void detail() {
    Recordset& rst = job_.items;
    const bool blank_qty = text_eq(inv_.Remark, "InvNoPrintQty");
    if (rst.State() == 1) {
      for (; !rst.Eof(); rst.MoveNext()) item(rst, blank_qty);
    }
    next(" ");
    const struct {
      const char* caption;
      const Variant* value;
    } sums[] = {{" 小計:", &inv_.OrderAmt},
                {" 服務費:", &inv_.SCharge},
                {" 折扣額:", &inv_.Discount},
                {" 溢收:", &inv_.TaxAdd}};
    for (const auto& s : sums)
      if (Val(*s.value) != 0) next(s.caption + amount7(*s.value));
    form_.head();
    total_line();
    if (is_zero(inv_.InvAmt)) next(std::string(kZeroInvoiceNote));
    const struct {
      const char* caption;
      const Variant* value;
    } payments[] = {{"信用卡號", &inv_.CCardNo},          {"調閱編號   =   ", &inv_.CCardRef},
                    {"儲值卡號", &inv_.VCardNo},          {"調閱編號 = ", &inv_.VCardRef},
                    {"儲值餘額 = ", &inv_.VCardBPoint},   {"紅利餘點 = ", &inv_.VCardBalPoint},
                    {"悠遊卡餘額 = ", &inv_.UCardBalance}};
    for (const auto& p : payments)
      if (not_blank(*p.value)) next(p.caption + Str(*p.value));
    if (not_trim_blank(inv_.Remark)) next(PadRightB(inv_.Remark, Variant(kWidth)));
    const auto line = [this](const std::string& text) { next(text); };
    if (!job_.opt.no_bottom_line) form_.bottom_lines(line, line, not_trim_blank);
  }

  bool skip_zero_s2a1_ = false;
};

}  // namespace

void InvHead(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine) {
  raising_as("InvHead", [&] {
    const InvoiceRecord& inv = job.inv;
    next_form_after(24, piPage, piLine, [&] {
      feed_out_form(out, piLine);
      const std::string next = invoice_number_of_form(job.inv_no, add16(piPage, 1));
      if (ends_a_roll(next))
        job.host.show_message(std::string(kRollChangePrompt), kRollChangeSeconds);
    });
    if (piLine >= 2) return;

    for (const Variant* head : {&inv.Head0, &inv.Head1, &inv.Head2, &inv.Head3}) {
      if (not_blank(*head))
        out.text(PadRightB(*head, Variant(kWidth)));
      else
        out.command(cmd::feed(1));
    }
    const DateValue now = job.host.now();
    std::string date_line = "日期:";
    date_line += format_date(now, "YYYY-MM-DD");
    if (job.opt.print_time) date_line.append(" ").append(format_date(now, "hh:mm"));
    out.text(date_line);
    out.text(PadRightB(inv.StoreID, Variant(12)) + " " + "  " + PadLeftB(inv.UserID, Variant(8)));
    out.text("檢碼(" + Right(invoice_number_of_form(job.inv_no, piPage), 4) + ") " + "機" +
             PadLeftB(inv.POSID, Variant(4)) + "  " + "頁:" + Format(Variant(piPage), "00"));
    out.text(table_line(job));
    if (not_blank(inv.BNo))
      out.text("客戶統編: " + Str(inv.BNo));
    else
      out.command(cmd::feed(1));
    piLine = 10;
  });
}

namespace {

bool print_standard(PrintJob& job, ByteSink& out) { return StandardRoll(job, out).run(); }

}  // namespace

// Also the type no other row claims. Runs in place of PrintInv, so its errors carry PrintInv's
// name.
constexpr Route kStandardRoute = roll_route("RP420", "PrintInv", print_standard);

}  // namespace orvo
