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

// A heading routine's first step: past `last_line`, `end_form` finishes the paper and the next
// form begins at line 1 with the page count moved on. True when it did.
template <typename EndForm>
bool next_form_after(std::int16_t last_line, std::int16_t& page, std::int16_t& line,
                     EndForm end_form) {
  if (line <= last_line) return false;
  end_form();
  page = add16(page, 1);
  line = 1;
  return true;
}

// Feeds the rest of a form of `paper_lines` from `line`, stamps it and feeds it out.
void feed_out_form(ByteSink& out, std::int16_t line, std::int16_t paper_lines = 36);

class RollForm {
 public:
  // Heads the form when `line` is 1; first ends the form when `line` has passed its body.
  using Heading = std::function<void(PrintJob&, ByteSink&, std::int16_t& page, std::int16_t& line)>;
  // How one line of text goes to the printer.
  using LineWriter = void (*)(ByteSink&, std::string_view utf8, LineEnd end);

  RollForm(PrintJob& job, ByteSink& out, Heading heading, LineWriter writer = plain_line);

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
  void count(int lines = 1) { line_ = add16(line_, lines); }
  void feed_out(std::int16_t paper_lines = 36) { feed_out_form(out_, line_, paper_lines); }

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

  std::int16_t page() const { return page_; }
  std::int16_t line() const { return line_; }

  static void plain_line(ByteSink& out, std::string_view utf8, LineEnd end) { out.text(utf8, end); }

 private:
  PrintJob& job_;
  ByteSink& out_;
  Heading heading_;
  LineWriter writer_;
  std::int16_t page_ = 1;
  std::int16_t line_ = 1;
};

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
