#pragma once
// The RP420A: the two-station roll printer of venues that collect entertainment tax, whose every
// invoice splits its amount into the consumption amount and the tax collected. It uses the
// standard heading (InvHead).
#include "layout_kit/route.h"

namespace orvo {

extern const Route kRp420aRoute;

}  // namespace orvo
