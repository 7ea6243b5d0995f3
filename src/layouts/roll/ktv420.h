#pragma once
// The KTV420: a summary invoice for karaoke rooms on a two-station roll printer, its amount split
// into food and drink, room charge and tax. No item lines.
#include <cstdint>

#include "layout_kit/route.h"

namespace orvo {

// Before a body line: ends a full form (after line 24) and prints the nine heading lines on a new
// one. The invoice number stays that of the first form. Errors re-raise from "InvHeadKTV".
void InvHeadKTV(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine);

// Writes the food and drink amount back to OrderAmt, and caps SCharge at the total.
bool Print_KTV420(PrintJob& job, ByteSink& out);

inline constexpr Route kKtv420Route = roll_route("KTV420", "Print_KTV420", Print_KTV420);

}  // namespace orvo
