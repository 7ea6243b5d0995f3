// The FE store roll printer: the store roll layout as its rules default.
#include "layouts/roll/store_roll.h"

namespace orvo {

constexpr StoreRollRules kFE{};

void InvHead_FE(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine) {
  store_roll_heading(kFE, job, out, piPage, piLine);
}

bool Print_FE(PrintJob& job, ByteSink& out) { return print_store_roll(kFE, job, out); }

constexpr Route kFeRoute = roll_route("FE", "Print_FE", Print_FE, OnFailure::ErrorLog);

}  // namespace orvo
