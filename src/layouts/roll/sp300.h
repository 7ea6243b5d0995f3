#pragma once
// The SP300 form printer: a summary form with the meal and service lines and the amounts block
// at a fixed place.
#include "layout_kit/route.h"

namespace orvo {

extern const Route kSp300Route;

}  // namespace orvo
