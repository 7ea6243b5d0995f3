#pragma once
// Building blocks that several roll and form layouts print the same way.
#include <string>
#include <string_view>

#include "layout_kit/byte_sink.h"
#include "layout_kit/print_job.h"
#include "layout_kit/roll_form.h"
#include "shared/variant.h"

namespace orvo {

// ESC "@", then half a second with the host's pending events let through.
void initialise_printer(PrintJob& job, ByteSink& out);
// The printer initialised, then printing on both stations: the invoice and its journal copy.
void start_two_station_roll(PrintJob& job, ByteSink& out);

// The zero-invoice note for an amount of 0, else the cash and change when the host gave change;
// false when neither prints.
bool zero_note_or_change(RollForm& form, const InvoiceRecord& inv);

// `X = 0`: Null is never equal; text must be a number (error 13).
bool is_zero(const Variant& v);
// Trim(X) <> "": Null never passes.
bool not_trim_blank(const Variant& v);

// PadLeftB(Format(v, "#,##0"), 7) & "元 ": the amount column of the summary lines.
std::string amount7(const Variant& v);

// The item types a "chkInvNoS2A1" sale leaves out when their amount is 0.
bool zero_skippable_type(std::string_view type);
// The item's name with its price caption after "-", unless the caption is "" or "時價".
std::string name_with_caption(const std::string& name, const std::string& caption);

}  // namespace orvo
