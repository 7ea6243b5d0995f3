#pragma once
// The TP3688: a roll printer whose every line is a command of its own (print line, blank line,
// end of form), lines ended by CR inside the command.
#include <cstdint>

#include "layout_kit/route.h"

namespace orvo {

// Before a body line: ends a full form (after line 24) and prints the nine heading lines on a new
// one. The invoice number stays that of the first form and no roll prompt is shown. Errors
// re-raise from "InvHead_TP3688".
void InvHead_TP3688(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine);

// Clears the bottom lines it prints.
bool Print_TP3688(PrintJob& job, ByteSink& out);

inline constexpr Route kTp3688Route = roll_route("TP3688", "Print_TP3688", Print_TP3688);

}  // namespace orvo
