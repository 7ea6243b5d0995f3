#pragma once
// The WP103 form printer: the summary form in print-mode blocks.
#include "printer_object/byte_sink.h"
#include "printer_object/print_job.h"

namespace orvo {

bool Print_WP103(PrintJob& job, ByteSink& out);

}  // namespace orvo
