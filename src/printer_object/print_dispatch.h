#pragma once
// The printer types and their layouts: the one table PrintInv dispatches on and the type check
// accepts from.
#include <span>
#include <string_view>

#include "printer_object/layout_runner.h"
#include "printer_object/page_runner.h"

namespace orvo {

enum class When { Always, Detail, NotDetail };

struct Route {
  std::string_view type;
  When when;              // which value of the detail flag this row serves
  std::string_view proc;  // the layout's procedure name: the source or log label of its errors
  OnFailure on_failure;
  RollLayout roll;        // nullptr for a page type
  // A page type's layout: drawn on the page printer, not sent to a port.
  PageLayout page = {};
};

// In the order PrintInv tests them; the last row is the standard roll layout.
std::span<const Route> routes();
// The row for a type and detail flag; the standard roll layout for any type no row claims.
const Route& route_for(std::string_view type, bool detail);
bool is_accepted_type(std::string_view type);

}  // namespace orvo
