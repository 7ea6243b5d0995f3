// The RP420A roll layout: 24 byte columns on 36-line invoice forms, with the entertainment tax
// split out of the amount.
#include "layouts/roll/rp420a.h"

#include <string>

#include "layout_kit/commands.h"
#include "layout_kit/roll_form.h"
#include "layouts/roll/roll36_blocks.h"
#include "layouts/roll/roll_blocks.h"
#include "layouts/roll/standard.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

constexpr int kWidth = 24;
constexpr std::size_t kNameColumns = 14;
constexpr std::size_t kSecondLineColumns = 24;
// The amount includes the consumption amount and 2.5 % of it in entertainment tax.
constexpr double kWithTax = 1.075;
constexpr double kTaxRate = 0.025;

class RP420A : RollRun {
 public:
  RP420A(PrintJob& job, ByteSink& out) : RollRun(job, out, InvHead) {}

  bool run() {
    start_two_station_roll(job_, out_);
    form_.start();
    if (not_blank(inv_.Remark)) form_.print_then_head(PadRightB(inv_.Remark, Variant(kWidth)));
    const double amount = Num(inv_.InvAmt);
    // The short form truncates the tax; the detail form rounds it.
    const double short_tax = Int(Round(amount / kWithTax) * kTaxRate);
    if (job_.opt.detail) {
      detail();
    } else {
      form_.feed(5);
      form_.head();
      short_form(amount, short_tax);
    }
    form_.feed_out();
    return form_.finish();
  }

 private:
  void print(const std::string& text) { form_.print(text); }

  std::string amount_line(const std::string& caption) const {
    return PadLeftB(caption + ": " + Format(inv_.InvAmt, "#,##0") + "元", Variant(kWidth));
  }

  std::string split_line(const char* caption, double value) const {
    return PadRightB(caption + Format(Variant(value), "#,##0") + "元", Variant(kWidth));
  }

  void short_form(double amount, double tax) {
    if (Left(Str(inv_.TblName), 2) == "收訂") {
      print(amount_line("訂金"));
      return;
    }
    print(amount_line(job_.opt.total_label));
    print(split_line(" 消費金額: ", amount - tax));
    print(split_line(" 代收娛樂稅: ", tax));
    zero_note_or_change(form_, inv_);
  }

  // The name column is cut at a byte, not a character: a double-byte character straddling
  // column 14 prints its first byte here and its second at the start of the next line.
  void item(const ItemFields& item, bool hide_qty) {
    const std::string name = to_cp950(name_with_caption(item.name, item.price_cap));
    std::string columns = name.substr(0, kNameColumns);
    columns.append(kNameColumns - columns.size(), ' ');
    out_.encoded_text(columns + to_cp950(item_figures(item, hide_qty)));
    if (name.size() > kNameColumns) {
      out_.encoded_text(name.substr(kNameColumns, kSecondLineColumns), LineEnd::CRLF);
      form_.count();
    }
    form_.count();
    form_.head();
  }

  void detail() {
    Recordset& rst = job_.items;
    double non_taxed = 0;
    if (rst.State() == 1) {
      const bool hide_qty = hides_quantities(job_);
      for (; !rst.Eof(); rst.MoveNext()) {
        const ItemFields it = read_item(rst);
        if (it.non_taxed()) non_taxed += it.amt;
        item(it, hide_qty);
      }
    }
    const double amount = Num(inv_.InvAmt);
    const double tax = Round(Round((amount - non_taxed) / kWithTax) * kTaxRate);
    form_.print_then_head(amount_line(job_.opt.total_label));
    form_.feed(1);
    form_.head();
    form_.print_then_head(split_line(" 消費金額: ", amount - tax));
    print(split_line(" 代收娛樂稅: ", tax));
  }
};

bool Print_RP420A(PrintJob& job, ByteSink& out) { return RP420A(job, out).run(); }

}  // namespace

constexpr Route kRp420aRoute = roll_route("RP420A", "Print_RP420A", Print_RP420A);

}  // namespace orvo
