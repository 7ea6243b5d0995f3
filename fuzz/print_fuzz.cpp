// A sale of fuzzed values (record, settings, item rows) printed on one printer type of the dispatch
// table, roll types to a memory port and page types onto a page printer of fakes. The only
// acceptable outcomes are True, False and an orvo::Error that is not an escaped C++ exception.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "page_printer_host/host_window.h"
#include "page_printer_host/page_fakes.h"
#include "channel/port_memory.h"
#include "printer_object/invoice_printer.h"
#include "printer_object/print_dispatch.h"
#include "settings/settings.h"
#include "silent_host.h"

namespace {

using orvo::Variant;

// A C++ exception that reached the caller as an error: the code let something slip.
bool escaped(const orvo::Error& e) {
  return e.description().starts_with("Internal error") || e.description() == "Out of memory";
}

class FuzzHost : public orvo::bench::SilentHost {
 public:
  // Procedures that report through the error log show their error here.
  void message_box(const std::string& text, orvo::BoxIcon) override {
    // The second line carries the number; the description after it may hold any sale text.
    const auto line = text.find("\r\n") + 2;
    const std::string number = text.substr(line, text.find("\r\n", line) - line);
    if (number.ends_with(" 51") || number.ends_with(" 7")) {
      std::fprintf(stderr, "%s\n", text.c_str());
      __builtin_trap();
    }
  }
};

constexpr std::size_t kMaxText = 300;
constexpr int kMaxItems = 200;

// Texts the layouts test for, or that sit on an edge of a conversion.
const char* const kWords[] = {
    "", " ", "Y", "N", "y", "0", "-0", "1", "-1", "0.5", "2.5", "-2.5", "1,000", "1,0,0", "1e400",
    "-1e400", "1E+15", "1e-320", "1D3", "&H7FFF", "&O777", "32767", "32768", "-32769", "NaN",
    "inf", " 12 5x", "\t3\t", "收訂", "收訂-王先生", "入", "費", "收", "T:", "T:合計", "BP", "IA",
    "InvNoPrintQty", "牛肉麵", "餐廳", "２０", "壹佰", "😀", "한국", "€", "ñ", "\xff\xfe", "\xe4\xb8",
    "\xc0\x80", "\xed\xa0\x80", "\x1b", "\r\n", "\f", "2010/03/05", "2010-3-5 14:30:05",
    "9999/12/31 23:59:59", "0/0/0", "hh:mm", "YYYY", "%s%n", "\"quoted\"", ";", "=",
};

const double kNumbers[] = {
    0.0,    -0.0,  0.5,    1.5,     2.5,    -2.5,     1e15,    -1e15,   1e16,     123456789012345.0,
    32767,  32768, -32768, -32769,  65536,  2147483648.0,      -2147483649.0,     9.22e18,
    1e308,  -1e308, 1e-300, 4.9e-324, std::numeric_limits<double>::max(),
    std::numeric_limits<double>::lowest(), std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
    0.1,    0.045, 99999999.5, 1050,  -1050,
};

// Numeric text as a host might send it: sign, grouped digits, decimals, exponent, padding.
std::string numeric_text(FuzzedDataProvider& in) {
  std::string s;
  if (in.ConsumeBool()) s += " ";
  const int sign = in.ConsumeIntegralInRange(0, 2);
  if (sign == 1) s += "-";
  if (sign == 2) s += "+";
  const int groups = in.ConsumeIntegralInRange(0, 6);
  s += std::to_string(in.ConsumeIntegralInRange(0, 999));
  for (int i = 0; i < groups; ++i) {
    s += in.ConsumeBool() ? "," : "";
    s += std::to_string(in.ConsumeIntegralInRange(100, 999));
  }
  if (in.ConsumeBool()) s += "." + std::to_string(in.ConsumeIntegral<std::uint16_t>());
  if (in.ConsumeBool()) {
    s += in.ConsumeBool() ? "e" : "E";
    s += std::to_string(in.ConsumeIntegralInRange(-400, 400));
  }
  if (in.ConsumeBool()) s += "\t";
  return s;
}

Variant value(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 11)) {
    case 0: return Variant();
    case 1: return Variant::null();
    case 2: return Variant(in.ConsumeBool());
    case 3: return Variant(in.ConsumeIntegralInRange(-2000, 100000));
    case 4: return Variant(in.PickValueInArray(kNumbers));
    case 5: return Variant(std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>()));
    case 6: return Variant(in.PickValueInArray(kWords));
    case 7: return Variant(in.ConsumeRandomLengthString(kMaxText));
    case 8: return Variant(numeric_text(in));
    case 9: {  // words joined: CJK next to text outside the code page
      std::string s;
      for (int n = in.ConsumeIntegralInRange(1, 8); n > 0; --n) s += in.PickValueInArray(kWords);
      return Variant(s.substr(0, kMaxText));
    }
    case 10: return Variant(std::string(in.ConsumeIntegralInRange<std::size_t>(0, kMaxText),
                                         in.ConsumeBool() ? 'A' : '9'));
    default: return Variant(orvo::DateValue{in.PickValueInArray(kNumbers)});
  }
}

// A settings value: one line, as the store holds it.
std::string setting(FuzzedDataProvider& in) {
  std::string s;
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: s = in.ConsumeBool() ? "Y" : "N"; break;
    case 1: s = in.PickValueInArray(kWords); break;
    case 2: s = numeric_text(in); break;
    default: s = in.ConsumeRandomLengthString(kMaxText);
  }
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}

const char* const kSettingKeys[] = {
    "chkPrintMore",     "chkInvNoS2A1", "chkItemUseKPType", "txtInvTotalDscp", "txtSpecialRemark",
    "StoreNo",          "chkNoInvCopy", "chkPrintTime",     "chkNoUserID",     "chkNoRemark",
    "chkNoBottomLine",  "chkPrintTblName", "txtWINLQ3P",    "txtWINLQM1",      "txtM6X8base",
    "txtWIN3PA4_X",     "txtWIN3PA4_Y",
};

const char* const kItemFields[] = {"itemname", "Qty",      "Price",     "Amt",
                                   "ItemType", "PriceCap", "RefKPType", "Remark"};

struct Workspace {
  std::filesystem::path settings;
  Workspace() {
    // Memory-backed where it can be: the file is rewritten for every input.
    const char* tmp = std::getenv("TMPDIR");
    std::string made;
    for (std::string base : {std::string("/dev/shm"), std::string(tmp && *tmp ? tmp : "/tmp")}) {
      std::string dir = base + "/orvo-fuzz-XXXXXX";
      if (mkdtemp(dir.data()) != nullptr) {
        made = dir;
        break;
      }
    }
    if (made.empty()) {
      std::fprintf(stderr, "fuzz_print: cannot make a scratch folder in /dev/shm or %s: %s\n",
                   tmp && *tmp ? tmp : "/tmp", std::strerror(errno));
      std::exit(1);
    }
    settings = std::filesystem::path(made) / "settings.ini";
    setenv("ORVO_ERROR_LOG", "/dev/null", 1);
    orvo::set_settings_warning_sink([](const std::string&) {});
  }
  ~Workspace() {
    std::error_code ignored;
    std::filesystem::remove_all(settings.parent_path(), ignored);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Workspace ws;
  FuzzedDataProvider in(data, size);

  const auto all = orvo::routes();
  const orvo::Route& route = all[in.ConsumeIntegralInRange<std::size_t>(0, all.size() - 1)];
  const int entry = in.ConsumeIntegralInRange(0, 2);
  const Variant detail = in.ConsumeBool() ? Variant(in.ConsumeBool() ? "Y" : "N") : value(in);
  const bool queue_installed = in.ConsumeBool();

  {
    std::ofstream ini(ws.settings, std::ios::trunc);
    ini << "[IP]\n";
    for (const char* key : kSettingKeys)
      if (in.ConsumeBool()) ini << key << "=" << setting(in) << "\n";
  }

  auto host = std::make_shared<FuzzHost>();
  orvo::InvPrinter printer(host);
  printer.set_settings_file(ws.settings);
  auto port = std::make_shared<orvo::MemoryPortLog>();
  printer.set_port_opener(orvo::memory_port_opener(port));
  printer.InvPrintPort(Variant("LPT1"));
  printer.InvPrintType(Variant(route.type));

  auto queues = std::make_shared<orvo::testing::FakeQueues>();
  queues->current = "Office";
  if (queue_installed) queues->installed = {"Office", std::string(route.page.queue)};
  auto window = std::make_shared<orvo::page::PageHostWindow>(std::make_unique<orvo::page::PagePrinter>(
      queues, std::make_shared<orvo::testing::FixedMetrics>(),
      std::make_shared<orvo::testing::FakeRenderer>()));
  printer.set_page_window(window);
  printer.set_page_output(std::filesystem::path());

  for (const auto& f : orvo::InvoiceRecord::kFields) printer.*f.member = value(in);
  printer.InvType(value(in));
  printer.InvNo(value(in));

  std::vector<orvo::MemoryRecordset::Row> rows;
  const bool open = in.ConsumeIntegralInRange(0, 15) != 0;
  const int count = in.ConsumeIntegralInRange(0, kMaxItems);
  for (int i = 0; i < count && in.remaining_bytes() > 0; ++i) {
    orvo::MemoryRecordset::Row row;
    // A missing field is rare: it ends the print at the first row that lacks it.
    const bool sparse = in.ConsumeIntegralInRange(0, 31) == 0;
    for (const char* field : kItemFields)
      if (!sparse || in.ConsumeBool()) row.emplace_back(field, value(in));
    rows.push_back(std::move(row));
  }
  const auto rows_for_print = rows;
  orvo::MemoryRecordset items = open ? orvo::MemoryRecordset(std::move(rows))
                                     : orvo::MemoryRecordset();

  // A roll sale: the check refuses exactly what the print does not complete, and gives its bytes.
  if (entry == 1 && route.page.draw == nullptr) {
    std::optional<std::string> checked;
    try {
      checked = printer.lay_out(detail, items);
    } catch (const orvo::Error& e) {
      if (escaped(e)) __builtin_trap();
    }
    orvo::MemoryRecordset again =
        open ? orvo::MemoryRecordset(rows_for_print) : orvo::MemoryRecordset();
    bool printed = false;
    try {
      printed = printer.PrintInv(detail, again);
    } catch (const orvo::Error& e) {
      if (escaped(e)) __builtin_trap();
    }
    if (checked.has_value() != printed || (printed && *checked != port->bytes())) {
      std::fprintf(stderr, "%s: the check %s, the print %s\n", std::string(route.type).c_str(),
                   checked ? "passed" : "refused", printed ? "completed" : "did not");
      __builtin_trap();
    }
    return 0;
  }

  try {
    if (entry == 1) {
      (void)printer.lay_out(detail, items);
    } else if (entry == 2 && route.type == "DAYEH") {
      (void)printer.Print_DAYEH(items);
    } else if (entry == 2 && route.type == "FE") {
      (void)printer.Print_FE(items);
    } else if (entry == 2 && route.type == "CF") {
      (void)printer.Print_CF(items);
    } else {
      (void)printer.PrintInv(detail, items);
    }
  } catch (const orvo::Error& e) {
    if (escaped(e)) {
      std::fprintf(stderr, "%s\n", e.description().c_str());
      __builtin_trap();
    }
  }
  return 0;
}
