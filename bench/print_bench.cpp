// Time to lay out and send a detail sale: 1,000 item lines to /dev/null, pauses off; and the
// layout's own cost against writing the same chunks bare (one write(2) each) in the same run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "channel/port_memory.h"
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

// No settings: the defaults.
const std::filesystem::path kSettings =
    std::filesystem::temp_directory_path() / ("orvo-print-bench-" + std::to_string(::getpid()) + ".ini");

// An RP420 printer ready for a detail sale to /dev/null.
std::unique_ptr<orvo::InvPrinter> rp420() {
  std::ofstream{kSettings};
  auto printer = std::make_unique<orvo::InvPrinter>(std::make_shared<SilentHost>());
  printer->set_settings_file(kSettings);
  printer->InvPrintPort(orvo::Variant("/dev/null"));
  printer->InvNo(orvo::Variant("AB00000001"));
  printer->Head0 = orvo::Variant("好味餐廳");
  printer->InvAmt = orvo::Variant(123456);
  return printer;
}

void BM_DetailSale(benchmark::State& state) {
  const int items = static_cast<int>(state.range(0));
  const auto rows = sale_items(items);
  const auto printer = rp420();
  for (auto _ : state) {
    orvo::MemoryRecordset rst(rows);
    benchmark::DoNotOptimize(printer->PrintInv(orvo::Variant("Y"), rst));
  }
  state.SetItemsProcessed(state.iterations() * items);
  // Seconds per item line (shown with a unit prefix, e.g. 3.2u).
  state.counters["per_item"] =
      benchmark::Counter(static_cast<double>(items) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DetailSale)->Arg(1000)->Unit(benchmark::kMillisecond);

double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Each iteration prints the sale to /dev/null and then writes the chunks that print sent, one
// write(2) each, to /dev/null: the pair shares the machine's state of the moment. The layout's
// cost is the print's CPU time less the bare writes'; "ratio" is that cost over the writes'.
void BM_LayoutVsBareWrites(benchmark::State& state) {
  const int items = static_cast<int>(state.range(0));
  const auto rows = sale_items(items);
  const auto printer = rp420();

  auto log = std::make_shared<orvo::MemoryPortLog>();
  printer->set_port_opener(orvo::memory_port_opener(log));
  {
    orvo::MemoryRecordset rst(rows);
    printer->PrintInv(orvo::Variant("Y"), rst);
  }
  const std::vector<std::string> chunks = log->writes;
  printer->set_port_opener({});

  const int null_fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null_fd < 0) {
    state.SkipWithError("cannot open /dev/null");
    return;
  }
  double print_cpu = 0, bare_cpu = 0;
  for (auto _ : state) {
    orvo::MemoryRecordset rst(rows);
    const double t0 = cpu_seconds();
    benchmark::DoNotOptimize(printer->PrintInv(orvo::Variant("Y"), rst));
    const double t1 = cpu_seconds();
    for (const std::string& c : chunks) benchmark::DoNotOptimize(::write(null_fd, c.data(), c.size()));
    const double t2 = cpu_seconds();
    print_cpu += t1 - t0;
    bare_cpu += t2 - t1;
  }
  ::close(null_fd);
  const double n = static_cast<double>(state.iterations());
  const double layout = print_cpu - bare_cpu;
  state.counters["writes_per_item"] = static_cast<double>(chunks.size()) / items;
  state.counters["layout_us_per_item"] = layout / n / items * 1e6;
  state.counters["write_us_per_item"] = bare_cpu / n / items * 1e6;
  state.counters["ratio"] = layout / bare_cpu;
}
BENCHMARK(BM_LayoutVsBareWrites)->Arg(1000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(kSettings);
}
