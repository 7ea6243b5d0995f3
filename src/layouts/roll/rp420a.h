#pragma once
// The RP420A: the two-station roll printer of venues that collect entertainment tax, whose every
// invoice splits its amount into the consumption amount and the tax collected. It uses the
// standard heading (InvHead).
#include "printer_object/byte_sink.h"
#include "printer_object/print_job.h"

namespace orvo {

bool Print_RP420A(PrintJob& job, ByteSink& out);

}  // namespace orvo
