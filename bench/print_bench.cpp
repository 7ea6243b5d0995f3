// Time to lay out and send a detail sale: 1,000 item lines to /dev/null, pauses off.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "printer_object/invoice_printer.h"
#include "silent_host.h"

namespace {

using orvo::bench::SilentHost;

std::vector<orvo::MemoryRecordset::Row> sale_items(int n) {
  using orvo::Variant;
  std::vector<orvo::MemoryRecordset::Row> rows;
  rows.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    // Every third name is long enough to take a second line.
    const std::string name = i % 3 == 0 ? "招牌紅燒牛肉麵加大" : "滷肉飯";
    rows.push_back({{"itemname", Variant(name)},
                    {"PriceCap", Variant(i % 5 == 0 ? "大" : "")},
                    {"Qty", Variant(1 + i % 4)},
                    {"Price", Variant(80)},
                    {"Amt", Variant(80 * (1 + i % 4))},
                    {"ItemType", Variant(i % 7 == 0 ? "NT1" : "A1")},
                    {"RefKPType", Variant("K1")},
                    {"Remark", Variant("")}});
  }
  return rows;
}

void BM_DetailSale(benchmark::State& state) {
  const int items = static_cast<int>(state.range(0));
  const auto rows = sale_items(items);
  orvo::InvPrinter printer(std::make_shared<SilentHost>());
  printer.set_settings_file("/dev/null");  // no settings: every option at its default
  printer.InvPrintPort(orvo::Variant("/dev/null"));
  printer.InvNo(orvo::Variant("AB00000001"));
  printer.Head0 = orvo::Variant("好味餐廳");
  printer.InvAmt = orvo::Variant(123456);
  for (auto _ : state) {
    orvo::MemoryRecordset rst(rows);
    benchmark::DoNotOptimize(printer.PrintInv(orvo::Variant("Y"), rst));
  }
  state.SetItemsProcessed(state.iterations() * items);
  // Seconds per item line (shown with a unit prefix, e.g. 3.2u).
  state.counters["per_item"] =
      benchmark::Counter(static_cast<double>(items) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DetailSale)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
