#include "layouts/roll/store_roll.h"

#include <string>

#include "layout_kit/commands.h"
#include "layout_kit/roll_form.h"
#include "layouts/roll/roll_blocks.h"
#include "layouts/roll/store_blocks.h"
#include "shared/cp950.h"
#include "shared/errlog.h"

namespace orvo {

namespace {

constexpr std::int16_t kFormLines = 26;
constexpr std::int16_t kPaperLines = 36;

std::string machine_code(const StoreRollRules& rules, const PrintJob& job) {
  const std::string store_no = job.settings.ip("StoreNo");
  const std::string head0 = Str(job.inv.Head0);
  if (rules.store_no_first) return store_no.empty() ? head0 : store_no;
  return is_blank(job.inv.Head0) ? store_no : head0;
}

void heading(const StoreRollRules& rules, PrintJob& job, ByteSink& out, std::int16_t& piPage,
             std::int16_t& piLine) {
  const InvoiceRecord& inv = job.inv;
  next_form_after(kFormLines, piPage, piLine, [&] { feed_out_form(out, piLine, kPaperLines); });
  if (piLine >= 2) return;

  if (rules.heads_on_top) {
    for (const Variant* head : {&inv.Head0, &inv.Head1, &inv.Head2, &inv.Head3}) {
      if (is_blank(*head))
        out.command(cmd::feed(1));
      else
        out.text(PadRightB(*head, Variant(24)));
    }
  } else {
    out.command(cmd::feed(4));
  }
  const DateValue now = job.host.now();
  out.text(format_date(now, "YYYY-MM-DD") + "  " + format_date(now, "hh:mm") + "  " +
           "頁:" + Format(Variant(piPage), "00"));
  out.text("機" + Right(machine_code(rules, job), 6) + std::string(rules.machine_gap) + "序" +
           PadLeftB(Variant(check_code(inv.CheckNo)), Variant(4)) + "  " + "員" +
           PadLeftB(inv.UserID, Variant(5)));
  const bool head1 = rules.head1_after_machine_line && not_blank(inv.Head1);
  if (head1) out.text_ending_itself(Str(inv.Head1));
  if (not_blank(inv.BNo))
    out.text("客戶統編: " + Str(inv.BNo));
  else
    out.command(cmd::feed(1));
  piLine = head1 ? 9 : 8;
}

class StoreRoll : RollRun {
 public:
  StoreRoll(const StoreRollRules& rules, PrintJob& job, ByteSink& out)
      : RollRun(job, out,
                [&rules](PrintJob& j, ByteSink& o, std::int16_t& page, std::int16_t& line) {
                  store_roll_heading(rules, j, o, page, line);
                }),
        rules_(rules) {}

  bool run() {
    start_two_station_roll(job_, out_);
    form_.start();
    Recordset& rst = job_.items;
    if (!rules_.items_only_when_open || rst.State() != 0) {
      const bool blank_qty = text_eq(inv_.Remark, "InvNoPrintQty");
      for (; !rst.Eof(); rst.MoveNext()) item(rst, blank_qty);
      form_.feed(1);
      form_.head();
    }
    totals();
    out_.command(cmd::kFormFeed);
    return form_.finish();
  }

 private:
  void next(const std::string& text) { form_.print_then_head(text); }
  void print(const std::string& text) { form_.print(text); }

  void item(const Recordset& rst, bool blank_qty) {
    const StoreRow row = read_store_row(rst);
    ++rows_;
    if (row.voucher) {
      vouchers_ += row.amt;
      if (!rules_.prints_vouchers) return;
    }
    if (rules_.follows_detail_flag && !job_.opt.detail) return;
    print_store_item(form_, row, blank_qty);
  }

  void totals() {
    // Held as its text, as the comparisons below read it; Null stays Null.
    Variant subtotal = subtract(inv_.OrderAmt, Variant(vouchers_));
    if (!subtotal.is_null()) subtotal = Variant(Str(subtotal));
    if (rules_.counts_items)
      next("小計: " + std::to_string(rows_) + "項" + amount_line("", subtotal, 14));
    else
      next(amount_line("小計:", subtotal, 18));
    if (vouchers_ < 0)
      next(amount_line(rules_.voucher_caption, Variant(vouchers_), rules_.voucher_width));
    if (Val(inv_.SCharge) > 0) next(amount_line(" 服務費:", inv_.SCharge, 16));
    if (Val(inv_.Discount) > 0)
      next(amount_line(rules_.discount_caption, Variant(Num(inv_.Discount) * -1), 16));
    if (Val(inv_.TaxAdd) > 0) next(amount_line(" 加計項:", inv_.TaxAdd, 16));
    const Variant paid = add(add(subtotal, Variant(vouchers_)), inv_.SCharge);
    if (less_than(paid, 0)) {
      if (rules_.change_instead_of_overpaid && not_blank(inv_.Change))
        next(amount_line("找零:", inv_.Change, 18));
      else
        next(amount_line("溢收:", Variant(-Num(paid)), 18));
    }
    if (text_ne(subtotal, Format(inv_.InvAmt)) && !inv_.InvAmt.is_null())
      next(amount_line("總計:", inv_.InvAmt, 18));
    if (is_zero(inv_.InvAmt)) {
      print(std::string(kZeroInvoiceNote));
    } else {
      // The second line ends the body: no heading after it.
      form_.bottom_lines([this](const std::string& text) { next(text); },
                         [this](const std::string& text) { print(text); });
    }
  }

  const StoreRollRules& rules_;
  double vouchers_ = 0;
  long rows_ = 0;
};

}  // namespace

void store_roll_heading(const StoreRollRules& rules, PrintJob& job, ByteSink& out,
                        std::int16_t& piPage, std::int16_t& piLine) {
  try {
    heading(rules, job, out, piPage, piLine);
  } catch (...) {
    ErrLog(job.host, std::string(rules.heading_proc), current_error());
  }
}

bool print_store_roll(const StoreRollRules& rules, PrintJob& job, ByteSink& out) {
  return StoreRoll(rules, job, out).run();
}

}  // namespace orvo
