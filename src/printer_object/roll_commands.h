#pragma once
// Printer command bytes shared by the roll and form printer layouts.
#include <string>
#include <string_view>

#include "shared/errors.h"

namespace orvo::cmd {

inline constexpr std::string_view kInit = "\x1b@";
inline constexpr std::string_view kBothStations = "\x1bz\x01";
inline constexpr std::string_view kInvoiceStationOnly =
    "\x1b"
    "c0\x02";
inline constexpr std::string_view kStampAndFormFeed = "\x1bo\x0c";

// ESC "d" n: print and feed n lines.
inline std::string feed(long n) {
  if (n < 0 || n > 255)
    raise(err::kInvalidArgument,
          "Invalid procedure call or argument: feed of " + std::to_string(n) + " lines");
  return std::string(
             "\x1b"
             "d") +
         static_cast<char>(n);
}

}  // namespace orvo::cmd
