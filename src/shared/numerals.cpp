#include "shared/numerals.h"

#include <array>

#include "shared/errlog.h"

namespace orvo {

std::string Num2Cstr8(Host& host, const Variant& pvNum) {
  static constexpr std::array<const char*, 10> kNumerals = {"零", "壹", "貳", "參", "肆",
                                                            "伍", "陸", "柒", "捌", "玖"};
  try {
    if (!IsNumeric(pvNum)) return "";
    const std::string s = Str(pvNum);
    const std::size_t chars = Len(s);
    // Eight boxes are all the form has: a longer amount cannot be shown at all.
    if (chars > 8) raise(err::kInvalidArgument, "Invalid procedure call or argument");
    std::string out;
    for (std::size_t i = chars; i < 8; ++i) out += kNumerals[0];
    for (const char c : s) {
      if (c >= '0' && c <= '9') out += kNumerals[static_cast<std::size_t>(c - '0')];
    }
    return out;
  } catch (...) {
    ErrLog(host, "basBase_Num2Cstr8", current_error());
    return "";
  }
}

}  // namespace orvo
