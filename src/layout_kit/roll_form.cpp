#include "layout_kit/roll_form.h"

#include <utility>

#include "layout_kit/commands.h"
#include "shared/errors.h"

namespace orvo {

void feed_out_form(ByteSink& out, int line, int paper_lines) {
  out.command(cmd::feed(paper_lines - line));
  out.command(cmd::kStamp);
  out.command(cmd::kFormFeed);
}

int add_count(int a, int b) {
  int sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) raise_overflow();
  return sum;
}

template <typename Count>
BasicRollForm<Count>::BasicRollForm(PrintJob& job, ByteSink& out, Heading heading,
                                    LineWriter writer)
    : job_(job), out_(out), heading_(std::move(heading)), writer_(writer) {}

template <typename Count>
void BasicRollForm<Count>::start() {
  job_.inv.PageCount = Variant(1);
  head();
}

template <typename Count>
bool BasicRollForm<Count>::finish() const {
  job_.inv.PageCount = Variant(page_);
  return true;
}

template <typename Count>
void BasicRollForm<Count>::print(std::string_view text, LineEnd end) {
  writer_(out_, text, end);
  count();
}

template <typename Count>
void BasicRollForm<Count>::command(std::string_view bytes, int lines) {
  out_.command(bytes);
  count(lines);
}

template <typename Count>
void BasicRollForm<Count>::feed(int lines) {
  command(cmd::feed(lines), lines);
}

template class BasicRollForm<std::int16_t>;
template class BasicRollForm<int>;

}  // namespace orvo
