#pragma once
// The CF store roll printer: the FE layout with the four heading texts on top, the number of rows
// on the subtotal line, gift vouchers left out of the items and no change line.
#include <cstdint>

#include "printer_object/byte_sink.h"
#include "printer_object/print_job.h"

namespace orvo {

// Ends a full form (after line 26) and prints the heading of a new one; its errors are logged
// under "InvHead_CF" and the print goes on.
void InvHead_CF(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine);

bool Print_CF(PrintJob& job, ByteSink& out);

}  // namespace orvo
