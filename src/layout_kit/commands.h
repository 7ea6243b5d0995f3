#pragma once
// Every printer command the layouts send, by name. Layouts never spell command bytes themselves:
// a command goes to the sink as bytes of its own, text goes through the encoder.
#include <string>
#include <string_view>

namespace orvo::cmd {

inline constexpr char kEsc = '\x1b';

// Roll and form printers.
inline constexpr std::string_view kInit = "\x1b@";
inline constexpr std::string_view kBothStations = "\x1bz\x01";  // invoice and journal copy
inline constexpr std::string_view kInvoiceStationOnly =
    "\x1b"
    "c0\x02";
inline constexpr std::string_view kStamp = "\x1bo";
inline constexpr std::string_view kFormFeed = "\x0c";
// Double width for a block (ESC "x" 1 SO ... ESC "x" 1 DC4).
inline constexpr std::string_view kDoubleWidthOn = "\x1bx\x01\x0e";
inline constexpr std::string_view kDoubleWidthOff = "\x1bx\x01\x14";

// ESC "d" n: print and feed n lines (0..255; anything else is error 5).
std::string feed(long n);
// ESC "!" n: print mode (20 hex double width, 21 double width condensed, 00 and 01 back).
std::string print_mode(long n);
// ESC "a" n: advance the paper n lines.
std::string advance(long n);

// The TP3688's line commands, each ended by CR.
inline constexpr std::string_view kTpReset = "\x1bR\r";
inline constexpr std::string_view kTpPrintLine = "\x1bPB1";  // followed by the text and CR
inline constexpr std::string_view kTpBlankLine = "\x1bLB1\r";
inline constexpr std::string_view kTpEndOfForm = "\x1bVB\r";

}  // namespace orvo::cmd
