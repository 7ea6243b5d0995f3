// Every folder tests/cases/TYPE/NAME is a sale printed through the library on a memory port, or
// for a page type on a page printer of fakes (queues, one em per character, no rendering):
//   sale.json     the sale, as orvo-invoice reads it
//   settings.ini  the settings store (optional; none gives an empty [IP] section)
//   options       KEY=VALUE lines (optional): type (default: TYPE upper-cased), detail,
//                 width (of the preview, default 24), fail_write (the 1-based write the port
//                 refuses), installed (the queues, split by ","; the current one is "Office")
//   expected.txt  what came of it: exit status, what the operator saw, the error log, the fields
//                 the print wrote back; then the printout as the roll preview draws it and every
//                 byte, or the page printer's state, the jobs sent and what each page drew
// A difference fails with a diff and leaves actual.txt beside expected.txt; ORVO_UPDATE_CASES=1
// (scripts/update_cases.sh) writes expected.txt instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "channel/port_memory.h"
#include "page_printer_host/host_window.h"
#include "page_printer_host/page_fakes.h"
#include "printer_object/invoice_printer.h"
#include "printer_object/print_dispatch.h"
#include "roll_preview.h"
#include "sale_json.h"
#include "shared/cp950.h"
#include "support/fake_host.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvo::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kCases = ORVO_CASES_DIR;

std::map<std::string, std::string> read_options(const fs::path& file) {
  std::map<std::string, std::string> out;
  std::istringstream in(read_file(file));
  for (std::string line; std::getline(in, line);) {
    const auto eq = line.find('=');
    if (eq != std::string::npos) out[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return out;
}

std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
  return s;
}

std::string hex(unsigned char b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[b >> 4], kDigits[b & 0xf]};
}

// Every byte, one printer line to a text line: text decoded from code page 950, the rest in
// <...> (ESC and its letter, parameters in hex, named line ends). Only markers start with "<",
// so no two streams list alike.
std::string listing(std::string_view in) {
  std::string out;
  auto param_count = [](char letter) {
    return std::string_view("zda!").find(letter) != std::string_view::npos ? 1u
           : std::string_view("cx").find(letter) != std::string_view::npos ? 2u
                                                                           : 0u;
  };
  for (std::size_t i = 0; i < in.size();) {
    const auto b = static_cast<unsigned char>(in[i]);
    if (b == 0x1b && i + 1 < in.size()) {
      const char letter = in[i + 1];
      out +=
          letter > ' ' && letter < 0x7f ? "<ESC " + std::string(1, letter) : "<ESC " + hex(letter);
      const std::size_t end = std::min(in.size(), i + 2 + param_count(letter));
      for (i += 2; i < end; ++i) out += " " + hex(static_cast<unsigned char>(in[i]));
      out += ">";
      if (letter == 'd' || letter == 'a') out += "\n";
    } else if (b == '\r' && i + 1 < in.size() && in[i + 1] == '\n') {
      out += "<CR LF>\n", i += 2;
    } else if (b == '\n' || b == '\r' || b == '\f') {
      out += b == '\n' ? "<LF>\n" : b == '\r' ? "<CR>\n" : "<FF>\n", ++i;
    } else if (b >= 0x80 && i + 1 < in.size() &&
               to_cp950(from_cp950(in.substr(i, 2))) == in.substr(i, 2)) {
      out += from_cp950(in.substr(i, 2)), i += 2;
    } else if (b < 0x20 || b >= 0x7f || b == '<') {
      out += "<" + hex(b) + ">", ++i;
    } else {
      out += static_cast<char>(b), ++i;
    }
  }
  if (!out.empty() && out.back() != '\n') out += "\n";
  return out;
}

// A value with its kind, so that 1050 and "1050" differ.
std::string shown(const Variant& v) {
  if (v.is_empty()) return "(empty)";
  if (v.is_null()) return "null";
  if (v.kind() == Variant::Kind::Text) return "\"" + Str(v) + "\"";
  return Str(v);
}

// The page printer's numbered settings, margins and an unfinished document, the jobs the queues
// took, then each page's free texts (twips, font, text) and tables (where, format, rows).
std::string sheet_listing(page::PagePrinter& vsp, const FakeQueues& queues) {
  std::string out = "\nsettings 34, 57, 63, 108:";
  for (const int id : {34, 57, 63, 108}) out += " " + shown(vsp.setting(id));
  out += "\nmargins left, top, right, bottom:";
  using page::Margin;
  for (const Margin m : {Margin::Left, Margin::Top, Margin::Right, Margin::Bottom})
    out += " " + number_text(vsp.margin(m));
  out += vsp.document_open() ? "\ndocument left open\n" : "\n";
  for (const auto& job : queues.jobs)
    out += "job \"" + job.title + "\" on " + job.queue + ": " + job.pdf + "\n";
  const auto& pages = vsp.document().pages;
  for (std::size_t n = 0; n < pages.size(); ++n) {
    out += "\npage " + std::to_string(n + 1) + ":\n";
    for (const page::TextRun& r : pages[n].texts) {
      if (r.width != 0) continue;  // a table's cell
      out += "  " + number_text(r.x) + ", " + number_text(r.y) + "  " + r.font.name + " " +
             number_text(r.font.size) + "  \"" + r.text + "\"\n";
    }
    for (const page::TableRecord& t : pages[n].tables) {
      out += "  table at " + number_text(t.x) + ", " + number_text(t.y) +
             (t.flag ? " flagged" : "") + ": " + t.format +
             (t.header.empty() ? "" : " header " + t.header) + "\n    " + t.body + "\n";
    }
  }
  return out;
}

std::string run_case(const fs::path& dir) {
  auto options = read_options(dir / "options");
  const std::string type =
      options.contains("type") ? options["type"] : upper(dir.parent_path().filename());
  TempDir temp;
  ScopedEnv log{"ORVO_ERROR_LOG", (temp / "error.log").c_str()};
  const fs::path settings = fs::exists(dir / "settings.ini") ? dir / "settings.ini"
                                                             : temp.write("settings.ini", "[IP]\n");
  auto host = std::make_shared<FakeHost>();
  auto port = std::make_shared<MemoryPortLog>();
  if (options.contains("fail_write")) port->fail_write = std::stoul(options["fail_write"]);
  auto queues = std::make_shared<FakeQueues>();
  queues->current = "Office";
  std::istringstream installed(options["installed"]);
  for (std::string name; std::getline(installed, name, ',');) queues->installed.push_back(name);
  auto window = std::make_shared<page::PageHostWindow>(std::make_unique<page::PagePrinter>(
      queues, std::make_shared<FixedMetrics>(), std::make_shared<FakeRenderer>()));

  std::string result;
  InvPrinter p(host);
  InvoiceRecord before;
  try {
    p.set_settings_file(settings);
    p.set_port_opener(memory_port_opener(port));
    p.set_page_window(window);
    p.set_page_output(fs::path());
    p.InvPrintPort(Variant("LPT1"));
    p.InvPrintType(Variant(type));
    auto sale =
        cli::parse_sale(read_file(dir / "sale.json"), dir / "sale.json", [](std::string_view key) {
          return key == "InvNo" || key == "InvType" ||
                 std::any_of(InvPrinter::kFields.begin(), InvPrinter::kFields.end(),
                             [&](auto& f) { return f.name == key; });
        });
    for (const auto& [key, value] : sale.invoice) {
      if (key == "InvNo")
        p.InvNo(value);
      else if (key == "InvType")
        p.InvType(value);
      else
        *p.field(key) = *before.field(key) = value;
    }
    const Variant detail = options.contains("detail") ? Variant(options["detail"]) : Variant();
    result = p.PrintInv(detail, *sale.items) ? "exit 0\n" : "exit 1\n";
  } catch (const Error& e) {
    result = "exit 3\nerror " + std::to_string(e.number()) + " from " + e.source() + ": " +
             e.description() + "\n";
  }
  for (const auto& f : InvoiceRecord::kFields) {
    if (shown(before.*f.member) != shown(p.*f.member))
      result += "written back: " + std::string(f.name) + " = " + shown(p.*f.member) + "\n";
  }
  for (const auto& prompt : host->prompts)
    result += "prompt (" + std::to_string(prompt.seconds) + " s): " + prompt.text + "\n";
  for (const auto& box : host->boxes) result += "box: " + box.text + "\n";
  if (host->beeps > 0) result += "beeps: " + std::to_string(host->beeps) + "\n";
  for (const long ms : host->sleeps) result += "pause: " + std::to_string(ms) + " ms\n";
  std::string logged = from_cp950(read_file(temp / "error.log"));
  std::erase(logged, '\r');
  if (!logged.empty()) result += "error log:\n" + logged;

  if (route_for(type, false).roll == nullptr) return result + sheet_listing(window->vsp(), *queues);
  const std::string bytes = port->bytes();
  const std::size_t width = options.contains("width") ? std::stoul(options["width"]) : 24;
  result += "\nprinted:\n" + cli::render_roll(cli::parse_roll(bytes), width);
  result += "\nbytes (" + std::to_string(bytes.size()) + "):\n" + listing(bytes);
  return result;
}

std::vector<fs::path> all_cases() {
  std::vector<fs::path> out;
  for (const auto& e : fs::recursive_directory_iterator(kCases)) {
    if (e.is_regular_file() && e.path().filename() == "sale.json")
      out.push_back(e.path().parent_path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

class Case : public ::testing::TestWithParam<fs::path> {};

TEST_P(Case, PrintsAsExpected) {
  const fs::path& dir = GetParam();
  const std::string actual = run_case(dir);
  if (const char* update = ::getenv("ORVO_UPDATE_CASES"); update && std::string(update) == "1") {
    std::ofstream(dir / "expected.txt", std::ios::binary | std::ios::trunc) << actual;
    fs::remove(dir / "actual.txt");
    return;
  }
  ASSERT_TRUE(fs::exists(dir / "expected.txt"))
      << dir << " has no expectation: scripts/update_cases.sh writes one";
  if (actual == read_file(dir / "expected.txt")) {
    fs::remove(dir / "actual.txt");
    return;
  }
  std::ofstream(dir / "actual.txt", std::ios::binary | std::ios::trunc) << actual;
  // diff shows the difference, and its status fails the case.
  std::fflush(stdout);
  const std::string command =
      "diff -u '" + (dir / "expected.txt").string() + "' '" + (dir / "actual.txt").string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << "the print differs from " << dir / "expected.txt"
                                             << " (actual.txt beside it)";
}

INSTANTIATE_TEST_SUITE_P(, Case, ::testing::ValuesIn(all_cases()),
                         [](const ::testing::TestParamInfo<fs::path>& param) {
                           std::string name = param.param.parent_path().filename().string() + "_" +
                                              param.param.filename().string();
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace orvo::testing
