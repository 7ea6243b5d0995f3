// Reading a sale file's items (the per-item time must not grow with the count), and the whole
// orvo-invoice process printing a typical ten-item sale to a file (target: at most 10 ms).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "run_tool.h"
#include "sale_json.h"

namespace {

namespace fs = std::filesystem;

std::string sale_text(long items) {
  std::string text = R"({"invoice": {"InvNo": "AB12345678", "InvAmt": 2376, "Head0": "老張牛肉麵館"},
 "items": [)";
  for (long i = 0; i < items; ++i) {
    if (i > 0) text += ",\n";
    text += R"({"itemname": "紅燒牛肉麵 #)" + std::to_string(i) +
            R"(", "PriceCap": "大", "Qty": 2, "Price": 180, "Amt": 360, "ItemType": "A1",)"
            R"( "RefKPType": "K1", "Remark": null})";
  }
  return text + "]}";
}

void BM_ReadSaleItems(benchmark::State& state) {
  const long items = state.range(0);
  const std::string text = sale_text(items);
  for (auto _ : state) {
    auto sale = orvo::cli::parse_sale(text, "sale.json", [](std::string_view) { return true; });
    benchmark::DoNotOptimize(sale);
  }
  // Seconds per item (shown with a unit prefix, e.g. 3.2u).
  state.counters["per_item"] =
      benchmark::Counter(static_cast<double>(items) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadSaleItems)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

const fs::path kDir = fs::temp_directory_path() / ("orvo-cli-bench-" + std::to_string(::getpid()));

// orvo-invoice beside this program, printing a ten-item detail sale to a file.
void BM_CliTenItemSaleToFile(benchmark::State& state) {
  fs::create_directories(kDir);
  std::ofstream(kDir / "sale.json") << sale_text(10);
  std::ofstream(kDir / "settings.ini") << "[IP]\nchkPrintTime=Y\n";
  orvo::bench::time_tool(state, {"print", (kDir / "sale.json").string(), "--port",
                                 (kDir / "out.prn").string(), "--detail", "Y", "--settings",
                                 (kDir / "settings.ini").string(), "--prompt", "none",
                                 "--no-pause", "--now", "2010-03-05T14:30:05"});
  state.counters["prn_bytes"] = static_cast<double>(fs::file_size(kDir / "out.prn"));
}
BENCHMARK(BM_CliTenItemSaleToFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// The console report, then the per-item time of the largest sale read against the smallest's.
class ScalingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      const auto it = r.counters.find("per_item");
      if (it != r.counters.end()) per_item_[r.benchmark_name()] = it->second.value;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (per_item_.size() < 2) return;
    const auto items = [](const std::string& name) { return std::stol(name.substr(name.rfind('/') + 1)); };
    auto smallest = per_item_.begin(), largest = per_item_.begin();
    for (auto it = per_item_.begin(); it != per_item_.end(); ++it) {
      if (items(it->first) < items(smallest->first)) smallest = it;
      if (items(it->first) > items(largest->first)) largest = it;
    }
    std::printf("items read: per-item time at %ld items is %.2f times that at %ld\n",
                items(largest->first), largest->second / smallest->second, items(smallest->first));
  }

 private:
  std::map<std::string, double> per_item_;
};

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ScalingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  fs::remove_all(kDir);
}
