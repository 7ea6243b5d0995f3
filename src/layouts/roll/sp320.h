#pragma once
// The SP320 form printer. Without item lines it prints the summary form in double width blocks
// (sp320.cpp); with them (sp320d.cpp), a fixed area of 15 item lines per form, continuation forms
// for the rest, the amounts block at a fixed place.
#include "layout_kit/route.h"

namespace orvo {

extern const Route kSp320Route;
extern const Route kSp320dRoute;

}  // namespace orvo
