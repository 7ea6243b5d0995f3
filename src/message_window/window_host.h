#pragma once
// The host on a desktop: the roll-change prompt in the topmost window, boxes as GTK message
// dialogs; the clock and pauses as on the terminal. Built into the module orvo-window.so, which
// make_host (shared/host.h) loads.
#include <memory>
#include <string>

#include "shared/host.h"

namespace orvo {

// The window host, or nullptr (with the reason in `why` when given) when no display opens.
std::unique_ptr<Host> make_window_host(TerminalHostOptions options = {},
                                       std::string* why = nullptr);

}  // namespace orvo

// The module's one entry, in the build's own ABI: a new window host, or nullptr and the reason.
extern "C" orvo::Host* orvo_window_host_v1(const orvo::TerminalHostOptions* options,
                                           std::string* why);
