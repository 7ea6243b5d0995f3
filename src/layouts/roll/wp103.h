#pragma once
// The WP103 form printer: the summary form in print-mode blocks.
#include "layout_kit/route.h"

namespace orvo {

extern const Route kWp103Route;

}  // namespace orvo
