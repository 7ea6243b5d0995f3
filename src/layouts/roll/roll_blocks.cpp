#include "layouts/roll/roll_blocks.h"

#include "layout_kit/commands.h"
#include "shared/cp950.h"

namespace orvo {

void initialise_printer(PrintJob& job, ByteSink& out) {
  out.command(cmd::kInit);
  Pause(job.host, 0.5);
  job.host.do_events();
}

void start_two_station_roll(PrintJob& job, ByteSink& out) {
  initialise_printer(job, out);
  out.command(cmd::kBothStations);
}

bool zero_note_or_change(RollForm& form, const InvoiceRecord& inv) {
  if (is_zero(inv.InvAmt)) {
    form.print(kZeroInvoiceNote);
  } else if (not_blank(inv.Change)) {
    form.print(" ");
    form.print("現收: " + Str(inv.Cash));
    form.print("找零: " + Str(inv.Change));
  } else {
    return false;
  }
  return true;
}

bool is_zero(const Variant& v) { return !v.is_null() && Num(v) == 0; }

bool not_trim_blank(const Variant& v) { return !v.is_null() && !Trim(Str(v)).empty(); }

std::string amount7(const Variant& v) { return PadLeftB(Format(v, "#,##0"), Variant(7)) + "元 "; }

bool zero_skippable_type(std::string_view t) {
  return t == "S2" || t == "A1" || t == "T1" || t == "SX" || t == "AN" || t == "TN";
}

std::string name_with_caption(const std::string& name, const std::string& caption) {
  if (caption.empty() || caption == "時價") return name;
  return name + "-" + caption;
}

}  // namespace orvo
