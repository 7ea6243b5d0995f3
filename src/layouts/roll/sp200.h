#pragma once
// The SP200 form printer: a summary form that works out the tax from the total itself, with
// CR LF line ends.
#include "layout_kit/route.h"

namespace orvo {

extern const Route kSp200Route;

}  // namespace orvo
