#pragma once
// The KTV420: a summary invoice for karaoke rooms on a two-station roll printer, its amount split
// into food and drink, room charge and tax. No item lines.

#include "layout_kit/route.h"

namespace orvo {

extern const Route kKtv420Route;

}  // namespace orvo
