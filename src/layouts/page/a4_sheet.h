#pragma once
// The A4 sheet of three invoice copies: one template drawn three times, with the positions of
// each sheet variant given by its own layout.
#include <cstddef>
#include <span>

#include "layout_kit/print_job.h"
#include "page_printer_host/page_canvas.h"

namespace orvo {

struct Spot {
  double x, y;
};

// Twips from the part's top-left corner, before the offsets.
struct A4Sheet {
  const char* offset_x_key;  // nullptr: no offset settings, X = Y = 0
  const char* offset_y_key;
  double part_height;
  double date_y, year_x, month_x, day_x, time_x;
  Spot inv_no, check_no, bno;
  double item_y;
  // The tables' first column is empty: the offset X widens it, which moves the rest right.
  double item_indent;
  const char* item_columns;  // the item table's format after its first column
  double amount_indent;
  Spot check_mark;
  double total_y;
  double numerals_y;
  std::size_t first_numeral;  // the numerals before it are not printed
  std::span<const double> numeral_xs;
};

bool print_a4_sheet(PrintJob& job, page::PageCanvas& vsp, const A4Sheet& sheet);

}  // namespace orvo
