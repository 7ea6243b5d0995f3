#pragma once
// A printer type's row of the dispatch table, declared beside its layout: which layout prints the
// type, under which procedure name, and what a failure does.
#include <string_view>

#include "layout_kit/layout_runner.h"
#include "layout_kit/page_runner.h"

namespace orvo {

enum class When { Always, Detail, NotDetail };

struct Route {
  std::string_view type;
  When when;              // which value of the detail flag this row serves
  std::string_view proc;  // the layout's procedure name: the source or log label of its errors
  OnFailure on_failure;
  RollLayout roll;  // nullptr for a page type
  // A page type's layout: drawn on the page printer, not sent to a port.
  PageLayout page = {};
  // A heading routine whose errors reach the host under its own name, not the layout's.
  std::string_view heading = {};

  constexpr Route keeping_errors_of(std::string_view heading_proc) const {
    Route r = *this;
    r.heading = heading_proc;
    return r;
  }
};

constexpr Route roll_route(std::string_view type, std::string_view proc, RollLayout layout,
                           OnFailure on_failure = OnFailure::Raise, When when = When::Always) {
  return {type, when, proc, on_failure, layout};
}

// A page type prints on the CUPS queue named after it unless it names another.
constexpr Route page_route(std::string_view type, std::string_view proc, PageDraw draw,
                           std::string_view queue = {},
                           QueueChoice choice = QueueChoice::IfInstalled) {
  return {type,    When::Always,
          proc,    OnFailure::Raise,
          nullptr, {draw, queue.empty() ? type : queue, choice}};
}

}  // namespace orvo
