#pragma once
// The SP320 form printer with item lines: a fixed area of 15 item lines per form, continuation
// forms for the rest, the amounts block at a fixed place.
#include "printer_object/byte_sink.h"
#include "printer_object/print_job.h"

namespace orvo {

bool Print_SP320D(PrintJob& job, ByteSink& out);

}  // namespace orvo
