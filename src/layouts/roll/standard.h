#pragma once
// The standard roll layout of the two-station RP420 (24 byte columns, 36-line invoice forms) and
// its heading, which the RP420A shares.
#include <cstdint>

#include "layout_kit/route.h"

namespace orvo {

// Before every body line: ends a full form (after line 24) and starts the next with the next
// invoice number, asking for a new roll when one is used up; prints the nine heading lines when
// the form is new. Errors re-raise from "InvHead".
void InvHead(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine);

extern const Route kStandardRoute;

}  // namespace orvo
