#pragma once
// The WP103 form printer: the summary form in print-mode blocks.
#include "layout_kit/route.h"

namespace orvo {

bool Print_WP103(PrintJob& job, ByteSink& out);

inline constexpr Route kWp103Route = roll_route("WP103", "Print_WP103", Print_WP103);

}  // namespace orvo
