#pragma once
// What a roll printer would print from a captured byte stream, as text. The bytes are parsed into
// forms and lines first; rendering works from that structure alone.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::cli {

enum class RollCommand {
  Initialise,      // ESC @
  BothStations,    // ESC z 1
  InvoiceStation,  // ESC c 0 2
  Feed,            // ESC d n: a pending line is printed and is the first of the n
  Advance,         // ESC a n: as Feed
  Stamp,           // ESC o
  DoubleWidthOn,   // ESC x 1 SO
  DoubleWidthOff,  // ESC x 1 DC4
  PrintMode,       // ESC ! n
  Reset,           // ESC R CR
  TextLine,        // ESC P B 1 text, ended by CR (TP3688) or LF (SP200)
  EmptyLine,       // ESC L B 1 CR
  EndOfForm,       // ESC V B CR
  Unknown,         // any other ESC sequence, or a stray control byte
};

struct RollCommandSeen {
  RollCommand kind;
  unsigned value = 0;  // n of Feed, Advance and PrintMode
  std::string bytes;   // as received
};

// A stretch of a line printed in one width.
struct RollRun {
  std::string text;  // UTF-8
  bool double_width = false;
};

struct RollLine {
  std::string text;           // UTF-8; unknown commands appear inline as <ESC 71>
  std::vector<RollRun> runs;  // the same text, split where the width changes
  std::size_t width = 0;      // columns on paper: text bytes, counted twice in double width
  bool double_width = false;  // some of it was printed in double width
  bool ended = true;          // false: the stream stopped before the line was printed
};

struct RollForm {
  std::vector<RollLine> lines;
  std::vector<RollCommandSeen> commands;  // ESC sequences and stray control bytes, in order
  bool stamped = false;
};

struct RollStream {
  std::vector<RollForm> forms;
  // The bytes of a command cut off by the end of the stream.
  std::optional<std::string> truncated;
};

RollStream parse_roll(std::string_view bytes);

// Each form as a box `width` bytes wide (CJK characters count two). Double-width text is drawn
// as wide as it prints: each character followed by as many spaces as it is wide.
std::string render_roll(const RollStream& stream, std::size_t width = 24);

// `<ESC 71>`, `<0E>`: how command bytes are shown in text.
std::string hex_marker(std::string_view bytes);

}  // namespace orvo::cli
