// The RP420A roll layout: 24 byte columns on 36-line invoice forms, with the entertainment tax
// split out of the amount.
#include "layouts/roll/rp420a.h"

#include <string>

#include "layouts/roll/roll36_blocks.h"
#include "layouts/roll/roll_blocks.h"
#include "layouts/roll/standard.h"
#include "printer_object/channel/commands.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

constexpr int kWidth = 24;
constexpr std::size_t kNameColumns = 14;
constexpr std::size_t kSecondLineColumns = 24;
// The amount includes the consumption amount and 2.5 % of it in entertainment tax.
constexpr double kWithTax = 1.075;
constexpr double kTaxRate = 0.025;

class RP420A {
 public:
  RP420A(PrintJob& job, ByteSink& out) : job_(job), inv_(job.inv), out_(out) {}

  bool run() {
    initialise_printer(job_, out_);
    out_.command(cmd::kBothStations);
    inv_.PageCount = Variant(1);
    head();
    if (not_blank(inv_.Remark)) {
      print(PadRightB(inv_.Remark, Variant(kWidth)));
      head();
    }
    const double amount = Num(inv_.InvAmt);
    // The short form truncates the tax; the detail form rounds it.
    const double short_tax = Int(Round(amount / kWithTax) * kTaxRate);
    if (job_.opt.detail) {
      detail();
    } else {
      out_.command(cmd::feed(5));
      line_ = add16(line_, 5);
      head();
      short_form(amount, short_tax);
    }
    feed_out_form(out_, line_);
    inv_.PageCount = Variant(page_);
    return true;
  }

 private:
  void head() { InvHead(job_, out_, page_, line_); }

  void print(const std::string& text) {
    out_.text(text);
    line_ = add16(line_, 1);
  }

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
    if (is_zero(inv_.InvAmt)) {
      print(" (發票歸零,無法對獎)");
    } else if (not_blank(inv_.Change)) {
      print(" ");
      print("現收: " + Str(inv_.Cash));
      print("找零: " + Str(inv_.Change));
    }
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
      line_ = add16(line_, 1);
    }
    line_ = add16(line_, 1);
    head();
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
    print(amount_line(job_.opt.total_label));
    head();
    out_.command(cmd::feed(1));
    line_ = add16(line_, 1);
    head();
    print(split_line(" 消費金額: ", amount - tax));
    head();
    print(split_line(" 代收娛樂稅: ", tax));
  }

  PrintJob& job_;
  InvoiceRecord& inv_;
  ByteSink& out_;
  std::int16_t page_ = 1;
  std::int16_t line_ = 1;
};

}  // namespace

bool Print_RP420A(PrintJob& job, ByteSink& out) { return RP420A(job, out).run(); }

}  // namespace orvo
