// WIN3PA4B: the A4 sheet of three copies for the B form: its own positions, no offsets, and
// no box for the ten-millions numeral.
#include "layouts/page/a4_sheet.h"
#include "layouts/page/page_layouts.h"

namespace orvo {

namespace {

constexpr double kNumeralXs[] = {2100, 3000, 4000, 4900, 5900, 6800, 7800};

constexpr A4Sheet kSheet = {
    .offset_x_key = nullptr,
    .offset_y_key = nullptr,
    .part_height = 5600,
    .date_y = 800,
    .year_x = 5200,
    .month_x = 6000,
    .day_x = 6900,
    .time_x = 7655,
    .inv_no = {1500, 1200},
    .check_no = {6550, 1200},
    .bno = {1500, 1450},
    .item_y = 2500,
    .item_indent = 800,
    .item_columns = "|<5000|>500|>1200|>1500|<100|<2700;",
    .amount_indent = 7400,
    .check_mark = {4500, 4050},
    .total_y = 4250,
    .numerals_y = 4550,
    .first_numeral = 2,
    .numeral_xs = kNumeralXs,
};

}  // namespace

bool Print_WIN3PA4B(PrintJob& job, page::PageCanvas& vsp) {
  return print_a4_sheet(job, vsp, kSheet);
}

}  // namespace orvo
