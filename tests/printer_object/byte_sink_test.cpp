// Field text reaches the printer as text only: its control characters cannot command it.
#include "layout_kit/byte_sink.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "channel/port_memory.h"
#include "shared/cp950.h"

namespace orvo {
namespace {

TEST(ByteSink, ControlCharactersInTextPrintAsQuestionMarks) {
  auto log = std::make_shared<MemoryPortLog>();
  ChannelTable table;
  table.open(1, "LPT1", {}, memory_port_opener(log));
  ByteSink out(table, 1);
  const struct {
    std::function<void()> call;
    std::string bytes;
  } cases[] = {
      // A paper cut, NUL, CR, LF, TAB and DEL in a name; the line end still ends the line.
      {[&] { out.text(std::string("\x1bi\x1dV\0x", 6)); }, "?i?V?x\n"},
      {[&] { out.text("a\r\nb\tc\x7f", LineEnd::CRLF); }, "a??b?c?\r\n"},
      {[&] { out.text("\x1f !~\x7f", LineEnd::None); }, "? !~?"},
      // Big5 trail bytes 0x40 to 0x7E stay as they are.
      {[&] { out.text("許功蓋\x1b", LineEnd::CR); }, "\xB3\x5C\xA5\x5C\xBB\x5C?\r"},
      // Commands are bytes; a command's own bytes pass, the text it carries does not command.
      {[&] { out.command("\x1b@\x0c"); }, "\x1b@\x0c"},
      {[&] { out.command_text("\x1bPB1", "x\ry", LineEnd::CR); }, "\x1bPB1x?y\r"},
      // Text cut at a byte column: a lone trail byte stays, a control byte does not.
      {[&] {
         out.encoded_text(
             "\x5C\x1b\x7f"
             "ab",
             LineEnd::CRLF);
       },
       "\x5C??ab\r\n"},
      // The layout's own line ends, several lines in one write.
      {[&] {
         out.lines(std::vector<std::string>{"x\ty", "z"});
       },
       "x?y\nz\n"},
      // A line the host ends itself keeps that end, and only that one.
      {[&] { out.text_ending_itself("a\nb\r\n"); }, "a?b\r\n"},
      {[&] { out.text_ending_itself("a\r\rb\n"); }, "a??b\n"},
      {[&] { out.text_ending_itself("ab\r"); }, "ab\r"},
      {[&] { out.text_ending_itself("a\x1b"); }, "a?"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    cases[i].call();
    ASSERT_EQ(log->writes.size(), i + 1);
    EXPECT_EQ(log->writes.back(), cases[i].bytes) << i;
  }
}

}  // namespace
}  // namespace orvo
