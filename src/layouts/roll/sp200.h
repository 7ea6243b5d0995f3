#pragma once
// The SP200 form printer: a summary form that works out the tax from the total itself, with
// CR LF line ends.
#include "layout_kit/route.h"

namespace orvo {

bool Print_SP200(PrintJob& job, ByteSink& out);

inline constexpr Route kSp200Route = roll_route("SP200", "Print_SP200", Print_SP200);

}  // namespace orvo
