// The SP320 form with item lines. Its form has room for 15 item lines above a fixed amounts
// block, so the layout counts them itself: a full area ends the form with a continuation note,
// and the next form repeats the heading with its page number instead of the table and buyer.
#include <string>
#include <vector>

#include "layout_kit/commands.h"
#include "layout_kit/roll_form.h"
#include "layouts/roll/form_blocks.h"
#include "layouts/roll/roll36_blocks.h"
#include "layouts/roll/roll_blocks.h"
#include "layouts/roll/sp320.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

constexpr int kItemArea = 15;
constexpr int kNameWidth = 24;

class Sp320dForm {
 public:
  Sp320dForm(PrintJob& job, ByteSink& out)
      : job_(job),
        inv_(job.inv),
        out_(out),
        form_(job, out, [this](PrintJob&, ByteSink&, int& page, int& line) { head(page, line); }) {}

  bool run() {
    skip_zero_s2a1_ = job_.settings.ip("chkInvNoS2A1") == "Y";
    out_.command(cmd::kInit);
    form_.start();
    Recordset& rst = job_.items;
    if (rst.State() == 1) {
      for (; !rst.Eof(); rst.MoveNext()) item(rst);
    }
    totals();
    amounts_block(job_, out_, double_width_block());
    if (is_zero(inv_.InvAmt))
      out_.text(kZeroInvoiceNote);
    else
      out_.text(Str(inv_.BottomLine1), LineEnd::None);
    out_.command(cmd::kFormFeed);
    return form_.finish();
  }

 private:
  // Line n of a form is its n-th item line. The first form carries the table and buyer; a full
  // item area ends the form with a continuation note and the next repeats the heading with its
  // page number.
  void head(int& page, int& line) {
    const bool next = next_form_after(kItemArea, page, line, [&] {
      out_.text("  ");
      out_.text("               ( 續 次 頁 )");
      out_.command(cmd::kFormFeed);
    });
    if (next) {
      // Counted once the next form is begun: a print that fails on it has used that form too.
      inv_.PageCount = Variant(page);
      form_heading(job_, out_);
      out_.text("續頁: " + std::to_string(page));
      out_.text(dated_line(job_, true));
      out_.text("  ");
      out_.text("  ");
    } else if (line == 1) {
      form_heading(job_, out_);
      out_.text(table_or_bill_line(job_));
      out_.text(dated_line(job_, true));
      buyer_block(job_, out_, double_width_block());
      out_.text("  " + Trim(Str(inv_.Remark)));
    }
  }

  void item(const Recordset& rst) {
    const ItemFields it = read_item(rst);
    if (skip_zero_s2a1_ && it.zero_skippable()) return;
    std::string line = PadRightB(Variant(name_with_caption(item_name(job_, rst, it), it.price_cap)),
                                 Variant(kNameWidth));
    line += hides_quantities(job_) ? "   " : PadLeftB(Variant(it.qty), Variant(3));
    line += PadLeftB(Variant(it.amt), Variant(6));
    line += it.non_taxed() ? " " : "T";
    form_.print_then_head(line);
  }

  int item_lines() const { return form_.line() - 1; }

  // The subtotal lines go under the items; when they do not fit, onto a form of their own. The
  // advance after them puts the amounts block at the same place on every form.
  void totals() {
    const struct {
      const char* caption;
      const Variant* value;
    } sums[] = {
        {"  合  計:", &inv_.OrderAmt}, {"  服務費:", &inv_.SCharge}, {"  折扣額:", &inv_.Discount}};
    std::vector<std::string> buffer;
    for (const auto& s : sums) {
      // The leading number of the text: an amount that reads as no number is no line.
      if (Val(*s.value) != 0) buffer.push_back(s.caption + amount7(*s.value));
    }
    const int total_lines = static_cast<int>(buffer.size());
    if (item_lines() + total_lines >= kItemArea) {
      const int rest = kItemArea - item_lines();
      form_.command(cmd::advance(rest), rest);
      form_.head();
    }
    if (!buffer.empty()) out_.lines(buffer);
    form_.count(total_lines);
    out_.command(cmd::advance(kItemArea - item_lines()));
  }

  PrintJob& job_;
  InvoiceRecord& inv_;
  ByteSink& out_;
  BasicRollForm<int> form_;
  bool skip_zero_s2a1_ = false;
};

bool Print_SP320D(PrintJob& job, ByteSink& out) { return Sp320dForm(job, out).run(); }

}  // namespace

constexpr Route kSp320dRoute =
    roll_route("SP320", "Print_SP320D", Print_SP320D, OnFailure::Raise, When::Detail);

}  // namespace orvo
