#include "shared/errlog.h"
#include "shared/host.h"

namespace orvo {

void Pause(Host& host, double seconds) {
  const double ms = Int(seconds * 1000);
  if (ms > 0) host.sleep_ms(static_cast<long>(ms));
}

std::string ROCDate8(Host& host, const std::optional<Variant>& date) {
  try {
    const DateValue d = date ? CDate(*date) : host.now();
    const CivilTime c = civil_from_date(d);
    return Format(Variant(c.year - 1911), "00") + "/" + format_date(d, "MM/DD");
  } catch (...) {
    ErrLog(host, "ROCDate8", current_error());
    return "";
  }
}

}  // namespace orvo
