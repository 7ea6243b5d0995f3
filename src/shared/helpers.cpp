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

std::string plain_lines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += '\n';
    } else {
      out += text[i];
    }
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

}  // namespace orvo
