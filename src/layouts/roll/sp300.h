#pragma once
// The SP300 form printer: a summary form with the meal and service lines and the amounts block
// at a fixed place.
#include "printer_object/byte_sink.h"
#include "printer_object/print_job.h"

namespace orvo {

bool Print_SP300(PrintJob& job, ByteSink& out);

}  // namespace orvo
