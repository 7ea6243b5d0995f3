#pragma once
// The host on a desktop: the roll-change prompt in the topmost window, boxes as GTK message
// dialogs; the clock and pauses as on the terminal.
#include <memory>

#include "shared/host.h"

namespace orvo {

// The window host, or nullptr when no display can be opened.
std::unique_ptr<Host> make_window_host(TerminalHostOptions options = {});

// The host that `options.prompt` asks for: Gui the window (raises kDeviceUnavailable naming the
// display when there is none), Auto the window when a display opens and the terminal otherwise,
// Terminal and None the terminal.
std::unique_ptr<Host> make_host(TerminalHostOptions options);

}  // namespace orvo
