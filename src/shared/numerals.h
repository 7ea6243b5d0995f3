#pragma once
// Amounts in Chinese capital numerals for the digit boxes of the printed invoice forms.
#include <string>

#include "shared/host.h"
#include "shared/variant.h"

namespace orvo {

// Eight numerals, one per digit box from ten-millions down to units, padded with 零 and without
// unit words: 12500 gives 零零零壹貳伍零零. The padding counts every character of the text form
// ("12.5" pads to eight but its point adds no numeral). Not a number gives ""; a text form longer
// than eight characters is reported through the error log and gives "".
std::string Num2Cstr8(Host& host, const Variant& pvNum);

}  // namespace orvo
