#pragma once
// The FE store roll printer: no invoice number printed, a heading with date, page, machine code,
// check code and cashier on each 26-line form, the change or overpayment under the totals.
#include <cstdint>

#include "printer_object/byte_sink.h"
#include "printer_object/print_job.h"

namespace orvo {

// Ends a full form (after line 26) and prints the heading of a new one; its errors are logged
// under "InvPrinter_InvHead_FE" and the print goes on.
void InvHead_FE(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine);

bool Print_FE(PrintJob& job, ByteSink& out);

}  // namespace orvo
