// The FE store roll printer: its rules for the store roll layout.
#include "layouts/roll/store_roll.h"

namespace orvo {

namespace {

constexpr StoreRollRules kFE = {
    .heading_proc = "InvPrinter_InvHead_FE",
    .heads_on_top = false,
    .store_no_first = false,
    .machine_gap = "   ",
    .head1_after_machine_line = true,
    .items_only_when_open = true,
    .follows_detail_flag = true,
    .prints_vouchers = true,
    .counts_items = false,
    .voucher_caption = " 券抵扣:",
    .voucher_width = 16,
    .discount_caption = " 折扣額:",
    .change_instead_of_overpaid = true,
};

}  // namespace

void InvHead_FE(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine) {
  store_roll_heading(kFE, job, out, piPage, piLine);
}

bool Print_FE(PrintJob& job, ByteSink& out) { return print_store_roll(kFE, job, out); }

}  // namespace orvo
