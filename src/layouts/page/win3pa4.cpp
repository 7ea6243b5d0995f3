// WIN3PA4: three copies of the invoice on an A4 sheet of an ordinary page printer, moved by the
// offsets txtWIN3PA4_X and txtWIN3PA4_Y.
#include "layouts/page/a4_sheet.h"
#include "layouts/page/page_layouts.h"

namespace orvo {

namespace {

constexpr double kNumeralXs[] = {2480, 3060, 3620, 4180, 4740, 5300, 5900, 6500};

constexpr A4Sheet kSheet = {
    .offset_x_key = "txtWIN3PA4_X",
    .offset_y_key = "txtWIN3PA4_Y",
    .part_height = 5620,
    .date_y = 750,
    .year_x = 5387,
    .month_x = 6237,
    .day_x = 7088,
    .time_x = 7655,
    .inv_no = {1500, 900},
    .check_no = {6550, 1100},
    .bno = {1500, 1300},
    .item_y = 2438,
    .item_indent = 800,
    .item_columns = "|<3000|>400|>1200|>1500|<300|<2500;",
    .amount_indent = 5400,
    .check_mark = {2300, 4050},
    .total_y = 4450,
    .numerals_y = 4830,
    .first_numeral = 1,
    .numeral_xs = kNumeralXs,
};

}  // namespace

bool Print_WIN3PA4(PrintJob& job, page::PageCanvas& vsp) {
  return print_a4_sheet(job, vsp, kSheet);
}

}  // namespace orvo
