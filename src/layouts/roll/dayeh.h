#pragma once
// The DAYEH store roll printer: 20-line forms, each a separate invoice with its own number, gift
// vouchers summed apart and a footer with the taxable and tax-free split.
#include <cstdint>

#include "layout_kit/route.h"

namespace orvo {

// Before every body line: after line 20 ends the form and moves to the next invoice number;
// prints the heading of a new form. Errors re-raise from "InvHead_DAYEH".
void InvHead_DAYEH(PrintJob& job, ByteSink& out, std::int16_t& page, std::int16_t& line);

bool Print_DAYEH(PrintJob& job, ByteSink& out);

extern const Route kDayehRoute;

}  // namespace orvo
