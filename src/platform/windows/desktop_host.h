#pragma once
// The host inside a Windows program: message boxes, the topmost prompt window, the wait cursor
// and the program's own message pump.
#include <memory>

#include "shared/host.h"

namespace orvo {

std::unique_ptr<Host> make_desktop_host(TerminalHostOptions options);

}  // namespace orvo
