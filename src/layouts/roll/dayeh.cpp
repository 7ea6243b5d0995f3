// DAYEH: 24 byte columns on 20-line forms; the footer goes on the last form only.
#include "layouts/roll/dayeh.h"

#include <string>

#include "layout_kit/commands.h"
#include "layout_kit/layout_runner.h"
#include "layout_kit/roll_form.h"
#include "layouts/roll/roll_blocks.h"
#include "layouts/roll/store_blocks.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

constexpr std::int16_t kFormLines = 20;
constexpr long kDoubleWidth = 0x20;
constexpr long kNormalWidth = 0x00;

// Form `page` (2 or later) carries InvNo counted on by page - 1, in eight digits.
std::string next_form_number(const Variant& inv_no, std::int16_t page) {
  const std::string no = Str(inv_no);
  const double number = Round(Num(Variant(Mid(no, 3))));
  return Left(no, 2) + Format(Variant(number + page - 1), "00000000");
}

class DayehRoll : RollRun {
 public:
  DayehRoll(PrintJob& job, ByteSink& out) : RollRun(job, out, InvHead_DAYEH) {}

  bool run() {
    start_two_station_roll(job_, out_);
    form_.start();
    if (job_.items.State() == 1) {
      const bool blank_qty = text_eq(inv_.Remark, "InvNoPrintQty");
      for (Recordset& rst = job_.items; !rst.Eof(); rst.MoveNext()) item(rst, blank_qty);
    }
    totals();
    footer();
    return form_.finish();
  }

 private:
  void next(const std::string& text) { form_.print_then_head(text); }

  void item(const Recordset& rst, bool blank_qty) {
    const StoreRow row = read_store_row(rst);
    if (row.voucher) {
      const std::string kind = Left(row.itemname, 3);
      (kind == "新禮券" ? new_vouchers_ : kind == "電子禮" ? e_vouchers_ : vouchers_) += row.amt;
      return;
    }
    if (row.tax_free()) non_taxed_ += row.amt;
    print_store_item(form_, row, blank_qty);
  }

  void totals() {
    form_.feed(1);
    form_.head();
    const Variant subtotal = subtract(inv_.OrderAmt, Variant(vouchers_));
    next(amount_line("小計:", subtotal, 18));
    if (vouchers_ < 0) next(amount_line("禮券", Variant(vouchers_), 19));
    if (new_vouchers_ < 0) next(amount_line("新禮券", Variant(new_vouchers_), 17));
    if (e_vouchers_ < 0) next(amount_line("電子禮券", Variant(e_vouchers_), 15));
    if (is_zero(inv_.InvAmt)) next(std::string(kZeroInvoiceNote));
    if (Val(inv_.SCharge) > 0) next(amount_line(" 服務費:", inv_.SCharge, 16));
    if (Val(inv_.Discount) > 0) next(amount_line("折扣額:", Variant(Num(inv_.Discount) * -1), 16));
    if (Val(inv_.TaxAdd) > 0) next(amount_line("  溢收:", inv_.TaxAdd, 16));
    // Compared as texts: an amount the host gave as "1,050" differs from 1050. Null compares
    // false.
    if (!inv_.InvAmt.is_null() && text_ne(subtotal, Format(inv_.InvAmt)))
      next(amount_line("小計:", inv_.InvAmt, 18));
    const auto line = [this](const std::string& text) { next(text); };
    form_.bottom_lines(line, line);
  }

  // On the last form, from line 20 on, whatever the body left free.
  void footer() {
    out_.command(cmd::feed(kFormLines - form_.line()));
    double taxable = 0;
    const double inv_amt = Val(inv_.InvAmt);
    if (non_taxed_ < inv_amt) {
      taxable = inv_amt - non_taxed_;
    } else {
      non_taxed_ = Num(inv_.InvAmt);
    }
    out_.text(amount_line("應稅", Variant(taxable), 8) + "  " + "免稅" +
              PadLeftB(Variant(Format(Variant(non_taxed_), "0")), Variant(6)));
    out_.text(Str(inv_.StoreID) + " " + Str(inv_.Head0) + PadLeftB(inv_.Head3, Variant(11)));
    out_.text(PadRightB(inv_.UserID, Variant(5)) + " " + check_code(inv_.CheckNo) + " " +
              Str(inv_.POSID) + " " + format_date(job_.host.now(), "hh:mm") + " " +
              Format(Variant(form_.page()), "00"));
    out_.command(cmd::kFormFeed);
  }

  double vouchers_ = 0;
  double new_vouchers_ = 0;
  double e_vouchers_ = 0;
  double non_taxed_ = 0;
};

}  // namespace

void InvHead_DAYEH(PrintJob& job, ByteSink& out, std::int16_t& page, std::int16_t& line) {
  raising_as("InvHead_DAYEH", [&] {
    std::string number = Str(job.inv_no);
    if (next_form_after(kFormLines, page, line, [&] { out.command(cmd::kFormFeed); }))
      number = next_form_number(job.inv_no, page);
    if (line >= 2) return;
    out.command(cmd::feed(4));
    out.command(cmd::print_mode(kDoubleWidth));
    out.text(Left(number, 2) + " " + Mid(number, 3), LineEnd::None);
    out.command(cmd::print_mode(kNormalWidth));
    out.command(cmd::feed(1));
    out.text(ROCDate8(job.host), LineEnd::None);
    out.command(cmd::feed(1));
    line = 7;
    if (not_blank(job.inv.BNo)) {
      out.text("客戶統編: " + Str(job.inv.BNo));
      line = 8;
    }
  });
}

bool Print_DAYEH(PrintJob& job, ByteSink& out) { return DayehRoll(job, out).run(); }

constexpr Route kDayehRoute = roll_route("DAYEH", "Print_DAYEH", Print_DAYEH, OnFailure::ErrorLog);

}  // namespace orvo
