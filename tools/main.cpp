// orvo-invoice: prints a sale, or the test page, through the invoice printer object, and shows
// as text what a roll printer prints from captured bytes.
//   orvo-invoice test-print [--port PORT] [--type TYPE] [common options]
//   orvo-invoice print SALE.json [--type TYPE] [--port PORT] [--detail VALUE]
//                     [--page-output FILE] [common options]
//   orvo-invoice preview FILE.prn [--width N] [-o OUT.txt]
// On a desktop the roll-change prompt is a window (--prompt auto or gui).
// Exit status: 0 printed (or previewed), 1 PrintInv returned false, 2 usage or input error, 3 the
// component raised an error.
#include <CLI/CLI.hpp>
#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "printer_object/invoice_printer.h"
#include "file_io.h"
#include "message_window/window_host.h"
#include "roll_preview.h"
#include "sale_json.h"
#include "shared/errors.h"
#include "shared/host.h"

namespace {

constexpr int kExitPrinted = 0;
constexpr int kExitNotPrinted = 1;
constexpr int kExitUsage = 2;
constexpr int kExitComponent = 3;

constexpr const char* kProgram = "orvo-invoice";

struct CommonOptions {
  std::string settings;
  std::string now;
  bool no_pause = false;
  std::string prompt = "auto";
  std::string error_log;
};

struct PrinterOptions {
  std::string type;
  std::string port;
  std::string page_output;
};

struct PreviewOptions {
  std::string capture;
  std::size_t width = 24;
  std::string out;  // empty: stdout
};

void add_common(CLI::App& cmd, CommonOptions& o) {
  cmd.add_option("--settings", o.settings, "INI file standing for the settings store")
      ->option_text("FILE");
  cmd.add_option("--now", o.now, "fix the clock for the whole run")
      ->option_text("YYYY-MM-DDTHH:MM:SS");
  cmd.add_flag("--no-pause", o.no_pause, "pauses return at once");
  cmd.add_option("--prompt", o.prompt,
                 "operator prompts: a window on a desktop, else wait on a terminal (auto), "
                 "always the window (gui), always count down (terminal), or only show the text "
                 "(none)")
      ->check(CLI::IsMember({"auto", "terminal", "none", "gui"}));
  cmd.add_option("--error-log", o.error_log, "where the error log is appended")
      ->option_text("FILE");
}

bool two_digits(std::string_view s, std::size_t at, int& out) {
  const char a = s[at];
  const char b = s[at + 1];
  if (a < '0' || a > '9' || b < '0' || b > '9') return false;
  out = (a - '0') * 10 + (b - '0');
  return true;
}

// Exactly YYYY-MM-DDTHH:MM:SS, a real calendar day and time.
std::optional<orvo::CivilTime> parse_now(std::string_view s) {
  if (s.size() != 19 || s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' ||
      s[16] != ':') {
    return std::nullopt;
  }
  int hi = 0;
  int lo = 0;
  orvo::CivilTime c;
  if (!two_digits(s, 0, hi) || !two_digits(s, 2, lo) || !two_digits(s, 5, c.month) ||
      !two_digits(s, 8, c.day) || !two_digits(s, 11, c.hour) || !two_digits(s, 14, c.minute) ||
      !two_digits(s, 17, c.second)) {
    return std::nullopt;
  }
  c.year = hi * 100 + lo;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (c.year % 4 == 0 && c.year % 100 != 0) || c.year % 400 == 0;
  if (c.year < 100 || c.month < 1 || c.month > 12) return std::nullopt;
  const int days = kDays[c.month - 1] + (c.month == 2 && leap ? 1 : 0);
  if (c.day < 1 || c.day > days || c.hour > 23 || c.minute > 59 || c.second > 59) {
    return std::nullopt;
  }
  return c;
}

orvo::PromptMode prompt_mode(const std::string& s) {
  if (s == "terminal") return orvo::PromptMode::Terminal;
  if (s == "none") return orvo::PromptMode::None;
  if (s == "gui") return orvo::PromptMode::Gui;
  return orvo::PromptMode::Auto;
}

bool known_invoice_key(std::string_view key) {
  if (key == "InvNo" || key == "InvType") return true;
  for (const auto& f : orvo::InvPrinter::kFields) {
    if (f.name == key) return true;
  }
  return false;
}

void apply_printer_options(orvo::InvPrinter& obj, const PrinterOptions& p, const CLI::App& cmd) {
  // Left out, each stays unset, as a host that never assigned it.
  if (cmd.count("--type") > 0) obj.InvPrintType(orvo::Variant(p.type));
  if (cmd.count("--port") > 0) obj.InvPrintPort(orvo::Variant(p.port));
}

void apply_invoice(orvo::InvPrinter& obj, const orvo::cli::Sale& sale) {
  for (const auto& [key, value] : sale.invoice) {
    if (key == "InvNo") {
      obj.InvNo(value);
    } else if (key == "InvType") {
      obj.InvType(value);
    } else {
      *obj.field(key) = value;
    }
  }
}

int usage_error(const std::string& message) {
  std::cerr << kProgram << ": " << message << '\n';
  return kExitUsage;
}

int preview_capture(const PreviewOptions& o) {
  try {
    const std::string text =
        orvo::cli::render_roll(orvo::cli::parse_roll(orvo::cli::read_file(o.capture)), o.width);
    if (!o.out.empty()) {
      orvo::cli::write_text_file(o.out, text);
    } else if (!(std::cout << text << std::flush)) {
      return usage_error("stdout: cannot write the preview");
    }
  } catch (const orvo::cli::InputError& e) {
    return usage_error(e.what());
  } catch (const std::exception& e) {
    std::cerr << "error: " << e.what() << '\n';
    return kExitComponent;
  }
  return kExitPrinted;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Prints Taiwan uniform invoices on raw invoice printers.", kProgram};
  app.require_subcommand(1);

  CommonOptions common;
  PrinterOptions printer;
  std::string sale_file;
  std::string detail;

  CLI::App* test_print = app.add_subcommand("test-print", "print the printer's test page");
  test_print->add_option("--port", printer.port,
                         "printer port (LPT1, COM1, tcp://HOST:PORT, a path)");
  test_print->add_option("--type", printer.type, "printer type, e.g. RP420");
  add_common(*test_print, common);

  CLI::App* print = app.add_subcommand("print", "print the sale in SALE.json");
  print->add_option("SALE.json", sale_file, "the sale: invoice record and item rows")->required();
  print->add_option("--type", printer.type, "printer type, e.g. RP420");
  print->add_option("--port", printer.port, "printer port (LPT1, COM1, tcp://HOST:PORT, a path)");
  print->add_option("--detail", detail, "passed to PrintInv as its detail argument");
  print->add_option("--page-output", printer.page_output,
                    "page printer types: write the sheet to FILE (.pdf, or .png for a picture) "
                    "instead of the CUPS queue named after the type (also ORVO_PAGE_OUTPUT)")
      ->envname("ORVO_PAGE_OUTPUT")
      ->option_text("FILE");
  add_common(*print, common);

  PreviewOptions preview_options;
  CLI::App* preview =
      app.add_subcommand("preview", "show as text what a roll printer prints from FILE.prn");
  preview->add_option("FILE.prn", preview_options.capture, "bytes captured from a file port")
      ->required();
  preview->add_option("--width", preview_options.width, "paper width in bytes")
      ->capture_default_str()
      ->check(CLI::Range(1, 255));
  preview->add_option("-o", preview_options.out, "write the preview here instead of stdout")
      ->option_text("OUT.txt");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? kExitPrinted : kExitUsage;
  }
  if (preview->parsed()) return preview_capture(preview_options);
  const CLI::App& cmd = test_print->parsed() ? *test_print : *print;

  orvo::TerminalHostOptions host_options;
  if (cmd.count("--now") > 0) {
    auto now = parse_now(common.now);
    if (!now) {
      return usage_error("--now: bad value \"" + common.now +
                         "\": not a date and time as YYYY-MM-DDTHH:MM:SS");
    }
    host_options.fixed_now = orvo::date_from_civil(*now);
  }
  host_options.no_pause = common.no_pause;
  host_options.prompt = prompt_mode(common.prompt);
  // Before the object exists, so that everything it logs goes there.
  if (cmd.count("--error-log") > 0 &&
      ::setenv("ORVO_ERROR_LOG", common.error_log.c_str(), 1) != 0) {
    return usage_error("--error-log: cannot set ORVO_ERROR_LOG");
  }

  std::shared_ptr<orvo::Host> host;
  try {
    host = orvo::make_host(host_options);
  } catch (const orvo::Error& e) {
    return usage_error("--prompt " + common.prompt + ": " + e.description());
  }

  try {
    orvo::InvPrinter obj(host);
    if (cmd.count("--settings") > 0) obj.set_settings_file(common.settings);

    if (test_print->parsed()) {
      apply_printer_options(obj, printer, cmd);
      obj.TestPrint();
      return kExitPrinted;
    }

    orvo::cli::Sale sale;
    try {
      sale = orvo::cli::read_sale(sale_file, known_invoice_key);
    } catch (const orvo::cli::InputError& e) {
      return usage_error(e.what());
    }
    apply_printer_options(obj, printer, cmd);
    if (cmd.count("--page-output") > 0) obj.set_page_output(printer.page_output);
    apply_invoice(obj, sale);
    const orvo::Variant pv_detail =
        cmd.count("--detail") > 0 ? orvo::Variant(detail) : orvo::Variant();
    return obj.PrintInv(pv_detail, *sale.items) ? kExitPrinted : kExitNotPrinted;
  } catch (const orvo::Error& e) {
    std::cerr << "error " << e.number() << " from " << e.source() << ": " << e.description()
              << '\n';
    return kExitComponent;
  } catch (const std::exception& e) {
    std::cerr << "error: " << e.what() << '\n';
    return kExitComponent;
  }
}
