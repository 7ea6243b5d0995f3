#pragma once
// Where a roll layout stands on its paper: the form and the line the next line goes to. The
// layout's heading routine moves them on, ending a full form and heading the next; RollForm
// counts every line the layout prints, so that the routine knows when.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "layout_kit/byte_sink.h"
#include "layout_kit/print_job.h"
#include "shared/variant.h"

namespace orvo {

inline constexpr std::string_view kZeroInvoiceNote = " (發票歸零,無法對獎)";

// The counters overflow as the host's own would: 16-bit ones past 32767, the others past 2^31.
inline std::int16_t add_count(std::int16_t a, int b) { return add16(a, b); }
int add_count(int a, int b);

// A heading routine's first step: past `last_line`, `end_form` finishes the paper and the next
// form begins at line 1 with the page count moved on. True when it did.
template <typename Count, typename EndForm>
bool next_form_after(std::type_identity_t<Count> last_line, Count& page, Count& line,
                     EndForm end_form) {
  if (line <= last_line) return false;
  end_form();
  page = add_count(page, 1);
  line = 1;
  return true;
}

// Feeds the rest of a form of `paper_lines` from `line`, stamps it and feeds it out.
void feed_out_form(ByteSink& out, int line, int paper_lines = 36);

// The heading routines the host can call itself count in 16 bits; a layout that counts its own
// item area may count in int.
template <typename Count>
class BasicRollForm {
 public:
  // Heads the form when `line` is 1; first ends the form when `line` has passed its body.
  using Heading = std::function<void(PrintJob&, ByteSink&, Count& page, Count& line)>;
  // How one line of text goes to the printer.
  using LineWriter = void (*)(ByteSink&, std::string_view utf8, LineEnd end);

  BasicRollForm(PrintJob& job, ByteSink& out, Heading heading, LineWriter writer = plain_line);

  // The first form is claimed before its heading, so a print that fails on it has used it.
  void start();
  // PageCount: the forms used. True: the layout's result, printed.
  bool finish() const;

  void head() { heading_(job_, out_, page_, line_); }
  void print(std::string_view text, LineEnd end = LineEnd::LF);
  // The heading first: a full form ends before the line.
  void head_then_print(std::string_view text) {
    head();
    print(text);
  }
  // The heading after: the line may be the one that fills the form.
  void print_then_head(std::string_view text) {
    print(text);
    head();
  }
  // A command that moves the paper `lines` lines.
  void command(std::string_view bytes, int lines);
  void feed(int lines);
  // Lines the layout wrote itself.
  void count(int lines = 1) { line_ = add_count(line_, lines); }
  void feed_out(int paper_lines = 36) { feed_out_form(out_, line_, paper_lines); }

  // BottomLine1 through `first`, then BottomLine2 through `second` (nullptr: not printed), each
  // cleared once printed, so that a reprint without new values leaves it out. The second never
  // prints alone; `shown` tells which texts print. Whether chkNoBottomLine holds them back is the
  // layout's own rule.
  template <typename First, typename Second>
  void bottom_lines(First first, Second second, bool (*shown)(const Variant&) = not_blank) {
    InvoiceRecord& inv = job_.inv;
    if (!shown(inv.BottomLine1)) return;
    first(Str(inv.BottomLine1));
    inv.BottomLine1 = Variant("");
    if constexpr (!std::is_null_pointer_v<Second>) {
      if (shown(inv.BottomLine2)) {
        second(Str(inv.BottomLine2));
        inv.BottomLine2 = Variant("");
      }
    }
  }

  Count page() const { return page_; }
  Count line() const { return line_; }

  static void plain_line(ByteSink& out, std::string_view utf8, LineEnd end) { out.text(utf8, end); }

 private:
  PrintJob& job_;
  ByteSink& out_;
  Heading heading_;
  LineWriter writer_;
  Count page_ = 1;
  Count line_ = 1;
};

extern template class BasicRollForm<std::int16_t>;
extern template class BasicRollForm<int>;
using RollForm = BasicRollForm<std::int16_t>;

// What one run of a roll layout holds: the job, its invoice record, the sink and the form.
class RollRun {
 protected:
  RollRun(PrintJob& job, ByteSink& out, RollForm::Heading heading,
          RollForm::LineWriter writer = RollForm::plain_line)
      : job_(job), inv_(job.inv), out_(out), form_(job, out, std::move(heading), writer) {}

  PrintJob& job_;
  InvoiceRecord& inv_;
  ByteSink& out_;
  RollForm form_;
};

}  // namespace orvo
