#pragma once
// The SP320 form printer without item lines: the summary form in double width blocks.
#include "printer_object/byte_sink.h"
#include "printer_object/print_job.h"

namespace orvo {

bool Print_SP320(PrintJob& job, ByteSink& out);

}  // namespace orvo
