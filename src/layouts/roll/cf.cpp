// The CF store roll printer: its rules for the store roll layout.
#include "layouts/roll/store_roll.h"

namespace orvo {

namespace {

constexpr StoreRollRules kCF = {
    .heading_proc = "InvHead_CF",
    .heads_on_top = true,
    .store_no_first = true,
    .machine_gap = " ",
    .head1_after_machine_line = false,
    .items_only_when_open = false,
    .follows_detail_flag = false,
    .prints_vouchers = false,
    .counts_items = true,
    .voucher_caption = "禮券",
    .voucher_width = 19,
    .discount_caption = "折扣額:",
    .change_instead_of_overpaid = false,
};

}  // namespace

void InvHead_CF(PrintJob& job, ByteSink& out, std::int16_t& piPage, std::int16_t& piLine) {
  store_roll_heading(kCF, job, out, piPage, piLine);
}

bool Print_CF(PrintJob& job, ByteSink& out) { return print_store_roll(kCF, job, out); }

constexpr Route kCfRoute = roll_route("CF", "Print_CF", Print_CF, OnFailure::ErrorLog);

}  // namespace orvo
