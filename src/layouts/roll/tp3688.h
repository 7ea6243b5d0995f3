#pragma once
// The TP3688: a roll printer whose every line is a command of its own (print line, blank line,
// end of form), lines ended by CR inside the command.

#include "layout_kit/route.h"

namespace orvo {

extern const Route kTp3688Route;

}  // namespace orvo
