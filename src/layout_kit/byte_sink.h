#pragma once
// Where a roll layout's bytes go: one channel write per call, so a port that fails at write k
// has received exactly the first k-1 pieces.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "channel/channel.h"

namespace orvo {

enum class LineEnd { None, LF, CRLF, CR };

class ByteSink {
 public:
  ByteSink(ChannelTable& table, std::int16_t fno) : table_(table), fno_(fno) {}

  // Command bytes, never encoded.
  void command(std::string_view bytes);
  // Text encoded to code page 950, its control characters (C0 and DEL) printed as "?", then the
  // line end.
  void text(std::string_view utf8, LineEnd end = LineEnd::LF);
  // A command and the text it carries, for printers that need them in one piece.
  void command_text(std::string_view command, std::string_view utf8, LineEnd end);
  // Text already in code page 950, for a layout that cuts a line at a byte column itself (a
  // double-byte character may be split there); control characters print as "?" here too.
  void encoded_text(std::string_view cp950, LineEnd end = LineEnd::LF);
  // Several lines in one write, each ended with `end`, for a printer that gets them in one piece.
  void lines(std::span<const std::string> utf8_lines, LineEnd end = LineEnd::LF);
  // Text the host ends itself: a line end at its very end (CR LF, LF or CR) is sent as the line
  // end; any other control character prints as "?".
  void text_ending_itself(std::string_view utf8);

  std::int16_t file_number() const { return fno_; }

 private:
  void send();

  ChannelTable& table_;
  std::int16_t fno_;
  std::string buf_;  // reused for every write
};

}  // namespace orvo
