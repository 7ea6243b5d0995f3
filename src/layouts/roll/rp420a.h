#pragma once
// The RP420A: the two-station roll printer of venues that collect entertainment tax, whose every
// invoice splits its amount into the consumption amount and the tax collected. It uses the
// standard heading (InvHead).
#include "layout_kit/route.h"

namespace orvo {

bool Print_RP420A(PrintJob& job, ByteSink& out);

inline constexpr Route kRp420aRoute = roll_route("RP420A", "Print_RP420A", Print_RP420A);

}  // namespace orvo
