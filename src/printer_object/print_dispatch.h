#pragma once
// The printer types and their layouts: the one table PrintInv dispatches on and the type check
// accepts from.
#include <span>
#include <string_view>

#include "layout_kit/route.h"

namespace orvo {

// In the order PrintInv tests them; the last row is the standard roll layout.
std::span<const Route> routes();
// The row for a type and detail flag; the standard roll layout for any type no row claims.
const Route& route_for(std::string_view type, bool detail);
bool is_accepted_type(std::string_view type);

}  // namespace orvo
