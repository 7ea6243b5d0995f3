#include "layout_kit/roll_form.h"

#include <utility>

#include "layout_kit/commands.h"

namespace orvo {

void feed_out_form(ByteSink& out, std::int16_t line, std::int16_t paper_lines) {
  out.command(cmd::feed(paper_lines - line));
  out.command(cmd::kStamp);
  out.command(cmd::kFormFeed);
}

RollForm::RollForm(PrintJob& job, ByteSink& out, Heading heading, LineWriter writer)
    : job_(job), out_(out), heading_(std::move(heading)), writer_(writer) {}

void RollForm::start() {
  job_.inv.PageCount = Variant(1);
  head();
}

bool RollForm::finish() const {
  job_.inv.PageCount = Variant(page_);
  return true;
}

void RollForm::print(std::string_view text, LineEnd end) {
  writer_(out_, text, end);
  count();
}

void RollForm::command(std::string_view bytes, int lines) {
  out_.command(bytes);
  count(lines);
}

void RollForm::feed(int lines) { command(cmd::feed(lines), lines); }

}  // namespace orvo
