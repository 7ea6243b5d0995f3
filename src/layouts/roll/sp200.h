#pragma once
// The SP200 form printer: a summary form that works out the tax from the total itself, with
// CR LF line ends.
#include "printer_object/byte_sink.h"
#include "printer_object/print_job.h"

namespace orvo {

bool Print_SP200(PrintJob& job, ByteSink& out);

}  // namespace orvo
