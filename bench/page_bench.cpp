// Time to lay out one A4 invoice sheet (40 texts and a 20-row table) and render it to PDF in
// memory, with fonts already loaded. Target: under 50 ms.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "page_printer_host/module/cairo_renderer.h"
#include "page_printer_host/page_printer.h"

namespace {

using namespace orvo::page;

class NoQueues : public PrintQueues {
 public:
  std::vector<std::string> names() override { return {}; }
  std::string default_name() override { return ""; }
  std::optional<PageSize> media(const std::string&) override { return std::nullopt; }
  int submit(const std::string&, const std::string&, const std::string&) override { return 0; }
};

void draw_sheet(PageCanvas& c) {
  c.set_preview(false);
  c.set_separators("|;");
  c.set_table_border(0);
  for (Margin m : {Margin::Top, Margin::Bottom, Margin::Left, Margin::Right}) c.set_margin(m, 0);
  c.begin_document();
  c.set_font_name("細明體");
  c.set_font_size(9);
  for (int i = 0; i < 40; ++i) {
    c.set_x(1500 + (i % 4) * 1800);
    c.set_y(750 + (i / 4) * 400);
    c.print_text(i % 2 == 0 ? "AB12345678" : "桌號:A12 消費合計");
  }
  c.set_y(5000);
  std::string body;
  for (int row = 0; row < 20; ++row) {
    body += "|招牌紅燒牛肉麵" + std::to_string(row) + "|2|1,050|2,100||加辣;";
  }
  c.add_table("800|<3000|>400|>1200|>1500|<300|<2500;", "", body, true);
  c.end_document();
}

void BM_A4SheetToPdf(benchmark::State& state) {
  const auto text = PangoText::shared();
  CairoRenderer renderer(text);
  PagePrinter printer(std::make_shared<NoQueues>(), text, std::make_shared<CairoRenderer>(text));
  draw_sheet(printer);
  benchmark::DoNotOptimize(renderer.pdf(printer.document()));  // warm: fonts loaded and cached
  std::size_t bytes = 0;
  for (auto _ : state) {
    draw_sheet(printer);
    const std::string pdf = renderer.pdf(printer.document());
    bytes = pdf.size();
    benchmark::DoNotOptimize(pdf.data());
  }
  state.counters["pdf_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_A4SheetToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
