#pragma once
// The one place that opens a roll layout's channel, runs the layout, closes the channel on every
// path and applies the layout's failure policy.
#include <string>
#include <string_view>

#include "channel/channel.h"
#include "layout_kit/byte_sink.h"
#include "layout_kit/print_job.h"
#include "shared/errors.h"

namespace orvo {

using RollLayout = bool (*)(PrintJob&, ByteSink&);

enum class OnFailure {
  Raise,     // re-raise as 0x80040000 with the procedure's name as source
  ErrorLog,  // report through the error log under the procedure's name, result False
};

// Where a layout's channel is opened.
struct PortRequest {
  ChannelTable& table;
  std::string name;  // InvPrintPort's text
  const PortOpener& opener;
};

// The channel is closed before the failure policy runs; a failure while closing after a
// successful layout counts as a failure of the print (the data may not have arrived). A stop
// requested through interrupt_prints is raised whatever the policy. An error the routine named
// `heading` raised keeps that name as its source.
bool run_roll_layout(std::string_view proc, OnFailure on_failure, RollLayout layout, PrintJob& job,
                     const PortRequest& port, std::string_view heading = {});

// The failure policy applied to `e`: raises it from `proc` (or from `heading`, when that raised
// it), or logs it there and gives False.
bool fail_as(std::string_view proc, OnFailure on_failure, Host& host, const Error& e,
             std::string_view heading = {});

// Runs `body`; a run-time error in it is re-raised as 0x80040000 from `proc`.
template <typename F>
auto raising_as(std::string_view proc, F&& body) -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    throw reraised(std::string(proc), current_error());
  }
}

}  // namespace orvo
