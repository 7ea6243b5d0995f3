#pragma once
// The SP300 form printer: a summary form with the meal and service lines and the amounts block
// at a fixed place.
#include "layout_kit/route.h"

namespace orvo {

bool Print_SP300(PrintJob& job, ByteSink& out);

inline constexpr Route kSp300Route = roll_route("SP300", "Print_SP300", Print_SP300);

}  // namespace orvo
