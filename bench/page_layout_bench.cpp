// One WIN3PA4 sheet (three invoice copies on A4): laid out and rendered to a PDF file in-process
// through PrintInv with fonts loaded (target: under 50 ms), and the whole orvo-invoice process
// that prints the same sheet from a sale file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "page_printer_host/module/cairo_renderer.h"
#include "page_printer_host/host_window.h"
#include "printer_object/invoice_printer.h"
#include "run_tool.h"
#include "silent_host.h"

namespace {

namespace fs = std::filesystem;
using orvo::Variant;

using orvo::bench::SilentHost;

// No print system asked: the sheet goes to the output file.
class NoQueues : public orvo::page::PrintQueues {
 public:
  std::vector<std::string> names() override { return {}; }
  std::string default_name() override { return ""; }
  std::optional<orvo::page::PageSize> media(const std::string&) override { return std::nullopt; }
  int submit(const std::string&, const std::string&, const std::string&) override { return 0; }
};

const fs::path kDir = fs::temp_directory_path() / ("orvo-page-bench-" + std::to_string(::getpid()));

void BM_Win3pa4SheetToPdf(benchmark::State& state) {
  using namespace orvo::page;
  fs::create_directories(kDir);
  std::ofstream(kDir / "none.ini");  // a settings file that names nothing: the defaults
  const auto text = PangoText::shared();
  orvo::InvPrinter printer(std::make_shared<SilentHost>());
  printer.set_settings_file(kDir / "none.ini");
  printer.set_page_window(std::make_shared<PageHostWindow>(std::make_unique<PagePrinter>(
      std::make_shared<NoQueues>(), text, std::make_shared<CairoRenderer>(text))));
  printer.set_page_output(kDir / "sheet.pdf");
  printer.InvPrintPort(Variant("unused"));
  printer.InvPrintType(Variant("WIN3PA4"));
  printer.InvNo(Variant("AB12345678"));
  printer.InvDate = Variant("2010/3/5");
  printer.CheckNo = Variant("0305-0088");
  printer.TblName = Variant("採購部 林小姐");
  printer.BNo = Variant("24536806");
  printer.InvAmt = Variant(12600);
  printer.Remark = Variant("月結30天");
  orvo::MemoryRecordset none;
  printer.PrintInv(Variant("N"), none);  // warm: fonts loaded and cached
  for (auto _ : state) benchmark::DoNotOptimize(printer.PrintInv(Variant("N"), none));
  state.counters["pdf_bytes"] = static_cast<double>(fs::file_size(kDir / "sheet.pdf"));
}
BENCHMARK(BM_Win3pa4SheetToPdf)->Unit(benchmark::kMillisecond);

// orvo-invoice beside this program, printing the same sale to a PDF.
void BM_CliWin3pa4SheetToPdf(benchmark::State& state) {
  fs::create_directories(kDir);
  std::ofstream(kDir / "none.ini");  // a settings file that names nothing: the defaults
  std::ofstream(kDir / "sale.json") << R"({"invoice": {"InvNo": "AB12345678",
    "InvDate": "2010/3/5", "CheckNo": "0305-0088", "TblName": "採購部 林小姐",
    "BNo": "24536806", "InvAmt": 12600, "Remark": "月結30天"}, "items": []})";
  orvo::bench::time_tool(state, {"print", (kDir / "sale.json").string(), "--type", "WIN3PA4",
                                 "--port", "unused", "--page-output", (kDir / "cli.pdf").string(),
                                 "--settings", (kDir / "none.ini").string(), "--prompt", "none",
                                 "--now", "2010-03-05T14:30:05"});
}
BENCHMARK(BM_CliWin3pa4SheetToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(kDir);
}
