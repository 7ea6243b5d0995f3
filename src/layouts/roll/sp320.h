#pragma once
// The SP320 form printer. Without item lines it prints the summary form in double width blocks
// (sp320.cpp); with them (sp320d.cpp), a fixed area of 15 item lines per form, continuation forms
// for the rest, the amounts block at a fixed place.
#include "layout_kit/route.h"

namespace orvo {

bool Print_SP320(PrintJob& job, ByteSink& out);
bool Print_SP320D(PrintJob& job, ByteSink& out);

inline constexpr Route kSp320Route =
    roll_route("SP320", "Print_SP320", Print_SP320, OnFailure::Raise, When::NotDetail);
inline constexpr Route kSp320dRoute =
    roll_route("SP320", "Print_SP320D", Print_SP320D, OnFailure::Raise, When::Detail);

}  // namespace orvo
