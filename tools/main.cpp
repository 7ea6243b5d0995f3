// orvo-invoice: prints a sale, or the test page, through the invoice printer object, and shows
// as text what a roll printer prints from captured bytes. `--help` on each subcommand says what
// it reads, where, and what its exit status means.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "file_io.h"
#include "channel/channel.h"
#include "printer_object/invoice_printer.h"
#include "printer_object/print_dispatch.h"
#include "roll_preview.h"
#include "sale_json.h"
#include "shared/errlog.h"
#include "shared/errors.h"
#include "shared/host.h"
#include "shared/user_paths.h"

#ifndef ORVO_VERSION
#define ORVO_VERSION "unknown"
#endif

namespace {

constexpr int kExitPrinted = 0;
constexpr int kExitNotPrinted = 1;
constexpr int kExitUsage = 2;
constexpr int kExitComponent = 3;
constexpr int kExitSignalBase = 128;

constexpr const char* kProgram = "orvo-invoice";

constexpr const char* kExitStatuses =
    "Exit status:\n"
    "  0      printed\n"
    "  1      PrintInv returned False: the layout reported that it did not print (the store\n"
    "         printers DAYEH, FE and CF when printing fails at the port; the error log says why)\n"
    "  2      usage or input error: a bad option, a sale file that cannot be read or is not a\n"
    "         valid sale, a settings file named by --settings or ORVO_SETTINGS that cannot be\n"
    "         read; nothing was printed\n"
    "  3      the component raised an error (stderr: error NUMBER from SOURCE: DESCRIPTION): the\n"
    "         sale failed its check before printing (nothing was sent), or printing failed\n"
    "  128+N  stopped by signal N (SIGHUP 129, SIGINT 130, SIGTERM 143) after the write in\n"
    "         progress: stderr and the error log name the invoice and the bytes that reached\n"
    "         the port\n";

struct CommonOptions {
  std::string settings;
  std::string now;
  bool no_pause = false;
  std::string prompt = "auto";
  std::string error_log;
  bool no_check = false;
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
                 "how the roll-change prompt and message boxes reach the operator: auto (a "
                 "window on a desktop, else as terminal when there is a terminal, else the text "
                 "alone), gui (always the window), terminal (the text on stderr, waiting for "
                 "Enter until the seconds pass; Ctrl-C ends the wait), none (the text on stderr "
                 "only; printing goes straight on)")
      ->check(CLI::IsMember({"auto", "terminal", "none", "gui"}));
  cmd.add_option("--error-log", o.error_log, "where the error log is appended")
      ->option_text("FILE");
}

// The named settings file: --settings, else ORVO_SETTINGS; none for the default location.
std::optional<std::pair<std::string, std::string>> named_settings(const CLI::App& cmd,
                                                                  const CommonOptions& o) {
  if (cmd.count("--settings") > 0) return std::pair{std::string("--settings"), o.settings};
  if (const char* env = std::getenv("ORVO_SETTINGS"); env && *env) {
    return std::pair{std::string("ORVO_SETTINGS"), std::string(env)};
  }
  return std::nullopt;
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

// The printer types the dispatch table knows, in alphabetical order.
std::vector<std::string> accepted_types() {
  std::set<std::string> types;
  for (const orvo::Route& r : orvo::routes()) types.emplace(r.type);
  return {types.begin(), types.end()};
}

// The component's error, with what a user of the tool needs beside it: which sale field holds a
// text that is no number, or that the port was never given.
orvo::Error explained(const orvo::Error& e,
                      const std::vector<std::pair<std::string, orvo::Variant>>& invoice) {
  const std::string& d = e.description();
  if (d == "請先設定連接埠:InvPrintPort") {
    return {e.number(), e.source(),
            d + " (no printer port: give --port PORT, e.g. LPT1, COM1, tcp://HOST:9100, "
                "cups:QUEUE or ./invoice.prn, with LPTn/COMn mapped in [Ports] of the settings)"};
  }
  const std::string lead = "Type mismatch: \"";
  if (d.rfind(lead, 0) != 0) return e;
  const std::size_t close = d.rfind("\" is not ");
  if (close == std::string::npos || close < lead.size()) return e;
  const std::string text = d.substr(lead.size(), close - lead.size());
  for (const auto& [key, value] : invoice) {
    if (value.is_text() && value.as_text() == text) return {e.number(), e.source(), key + ": " + d};
  }
  return e;
}

// Left out, each stays unset, as a host that never assigned it. False: the type is refused,
// which is said on stderr.
bool apply_printer_options(orvo::InvPrinter& obj, const PrinterOptions& p, const CLI::App& cmd) {
  if (cmd.count("--type") > 0) {
    try {
      obj.InvPrintType(orvo::Variant(p.type));
    } catch (const orvo::Error& e) {
      std::string list;
      for (const std::string& t : accepted_types()) list += (list.empty() ? "" : ", ") + t;
      std::cerr << kProgram << ": --type \"" << p.type
                << "\": not a printer type; InvPrintType accepts exactly " << list << " ("
                << "error " << e.number() << " from " << e.source() << " " << e.description()
                << ")\n";
      return false;
    }
  }
  if (cmd.count("--port") > 0) obj.InvPrintPort(orvo::Variant(p.port));
  return true;
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

// "error -2147221504 from PrintInv: ...": a source that ends in its own colon keeps only that one.
std::string error_line(const orvo::Error& e) {
  const std::string& src = e.source();
  return "error " + std::to_string(e.number()) + " from " + src +
         (src.ends_with(':') ? " " : ": ") + e.description();
}

// `words` after `lead`, wrapped at 90 columns under an indent of `lead`'s width.
std::string wrapped(const std::string& lead, const std::vector<std::string>& words) {
  std::string out = lead;
  std::size_t column = lead.size();
  for (const std::string& w : words) {
    if (column + 1 + w.size() > 90 && column > lead.size()) {
      out += "\n" + std::string(lead.size(), ' ');
      column = lead.size();
    } else if (column > lead.size()) {
      out += ' ';
      ++column;
    }
    out += w;
    column += w.size();
  }
  return out + "\n";
}

// The accepted printer types, from the dispatch table: those sent bytes through the port and
// those drawn on a page.
std::string types_help() {
  std::vector<std::string> roll;
  std::vector<std::string> page;
  std::set<std::string_view> seen;
  for (const orvo::Route& r : orvo::routes()) {
    if (!seen.insert(r.type).second) continue;
    (r.page.draw != nullptr ? page : roll).emplace_back(r.type);
  }
  return "Printer types (--type, exact spelling; left out: RP420, the standard roll layout;\n"
         "SP320 with --detail Y prints the SP320D layout, with items):\n" +
         wrapped("  bytes to --port: ", roll) + wrapped("  a page sheet: ", page) +
         "  (a page sheet goes to the CUPS queue named after the type, or to --page-output)\n";
}

std::string files_help() {
  const auto here = [](const std::filesystem::path& p) {
    return "             here: " + (p.empty() ? std::string("(no home directory)") : p.string());
  };
  return "Files:\n"
         "  settings   --settings FILE, else $ORVO_SETTINGS, else\n"
         "             ${XDG_CONFIG_HOME:-~/.config}/Orvo3/settings.ini\n" +
         here(orvo::settings_path()) +
         "\n"
         "             UTF-8 INI read on every print: [IP] the invoice options, [Ports] port "
         "names\n"
         "             and timeouts (README). Only the default location may be absent.\n"
         "  error log  --error-log FILE, else $ORVO_ERROR_LOG, else\n"
         "             ${XDG_STATE_HOME:-~/.local/state}/Orvo3/error.log\n" +
         here(orvo::error_log_path()) +
         "\n"
         "             appended, Big5 text\n"
         "  locks of tcp:// ports: " +
         orvo::user_runtime_dir().string() + "\n";
}

constexpr const char* kPrintHelp =
    "SALE.json ('-': standard input) is UTF-8 JSON:\n"
    "  {\"invoice\": {FIELD: value, ...}, \"items\": [{FIELD: value, ...}, ...]}\n"
    "  or, instead of \"items\", \"items_sqlite\": {\"database\": PATH, \"query\": SQL}.\n"
    "  Invoice fields: InvNo, InvType and the record's 31 fields (InvAmt, Head0, ...); item\n"
    "  fields: itemname, PriceCap, Qty, Price, Amt, ItemType, RefKPType, Remark. The README\n"
    "  lists each with its meaning and type.\n"
    "--detail Y (exactly \"Y\") prints every item line; any other value, or none, prints the\n"
    "  total only (each layout decides what that shows).\n"
    "Before printing, the sale is laid out in memory with the same settings and clock; a sale\n"
    "  that would fail exits 3 with nothing sent (--no-check skips this).\n";

extern "C" void on_stop_signal(int signal) { orvo::interrupt_prints(signal); }

// Without SA_RESTART, so that a blocking wait wakes up and looks at the request. A signal the
// caller chose to ignore (nohup) stays ignored.
void catch_stop_signals() {
#ifdef _WIN32  // Ctrl-C and Ctrl-Break reach a console program as these
  for (const int sig : {SIGINT, SIGTERM, SIGBREAK}) std::signal(sig, on_stop_signal);
#else
  struct sigaction sa {};
  sa.sa_handler = on_stop_signal;
  sigemptyset(&sa.sa_mask);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    ::sigaction(sig, &sa, nullptr);
  }
#endif
}

std::string signal_name(int sig) {
  switch (sig) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
#ifdef SIGHUP
    case SIGHUP:
      return "SIGHUP";
#endif
  }
  return "signal " + std::to_string(sig);
}

// One line on stderr and one record in the error log: which invoice stopped, and how much of it
// the printer got.
int report_stop(orvo::Host& host, const char* proc, const std::string& what, bool port_used,
                const std::string& port) {
  const int sig = orvo::print_interrupt();
  const auto& delivery = orvo::channels().last_delivery();
  const std::uint64_t bytes = port_used && delivery ? delivery->bytes : 0;
  const std::string text = "interrupted by " + signal_name(sig) + ": " + what + " stopped after " +
                           std::to_string(bytes) + " bytes reached " + port;
  std::cerr << kProgram << ": " << text << '\n';
  orvo::append_error_log(host, proc, orvo::Error(orvo::channel_err::kInterrupted, text));
  return kExitSignalBase + sig;
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
  app.set_version_flag("--version", std::string(kProgram) + " " + ORVO_VERSION);
  const std::string types = types_help();
  const std::string files = files_help();
  app.footer(std::string(kPrintHelp) + types + files + kExitStatuses);

  CommonOptions common;
  PrinterOptions printer;
  std::string sale_file;
  std::string detail;

  CLI::App* test_print = app.add_subcommand("test-print", "print the printer's test page");
  test_print->add_option("--port", printer.port,
                         "printer port (LPT1, COM1, tcp://HOST:PORT, a path)");
  test_print->add_option("--type", printer.type,
                         "printer type (any accepted type prints the RP420 test page)");
  add_common(*test_print, common);
  test_print->footer(types + files + kExitStatuses);

  CLI::App* print = app.add_subcommand("print", "print the sale in SALE.json");
  print->add_option("SALE.json", sale_file, "the sale: invoice record and item rows; - reads stdin")
      ->required();
  print->add_option("--type", printer.type, "printer type (default RP420)");
  print->add_option("--port", printer.port, "printer port (LPT1, COM1, tcp://HOST:PORT, a path)");
  print->add_option("--detail", detail, "Y: every item line; else the total only");
  print->add_flag("--no-check", common.no_check,
                  "print without laying the sale out in memory first");
  print
      ->add_option("--page-output", printer.page_output,
                   "page printer types: write the sheet to FILE (.pdf, or .png for a picture) "
                   "instead of the CUPS queue named after the type (also ORVO_PAGE_OUTPUT)")
      ->envname("ORVO_PAGE_OUTPUT")
      ->option_text("FILE");
  add_common(*print, common);
  print->footer(std::string(kPrintHelp) + types + files + kExitStatuses);

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
  preview->footer(
      "Each form is a box as wide as the paper, one row per printed line:\n"
      "  ── form N ──       a form; \"(stamped)\" when the printer was told to stamp it (ESC o)\n"
      "  │text│            a line; » instead of the left │: printed in double width\n"
      "  over by N         the line is N bytes wider than --width\n"
      "  below the box     commands sent with the form that print nothing, named:\n"
      "                    initialise (ESC @), both stations (ESC z 1: invoice and journal),\n"
      "                    invoice station only, reset, print mode XX, or <ESC ..> in hex\n"
      "Exit status: 0 previewed, 2 the capture or OUT.txt cannot be read or written, 3 internal "
      "error.\n");

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
  host_options.stop_requested = [] { return orvo::print_interrupt() != 0; };
  // Before the object exists, so that everything it logs goes there.
  if (cmd.count("--error-log") > 0 &&
      ::setenv("ORVO_ERROR_LOG", common.error_log.c_str(), 1) != 0) {
    return usage_error("--error-log: cannot set ORVO_ERROR_LOG");
  }
  const auto settings_file = named_settings(cmd, common);
  if (settings_file) {
    try {
      orvo::Settings::load_named(settings_file->second);
    } catch (const orvo::Error& e) {
      return usage_error(settings_file->first + ": " + e.description());
    }
  }

  std::shared_ptr<orvo::Host> host;
  try {
    host = orvo::make_host(host_options);
  } catch (const orvo::Error& e) {
    return usage_error("--prompt " + common.prompt + ": " + e.description());
  }

  const char* proc = test_print->parsed() ? "TestPrint" : "PrintInv";
  orvo::cli::Sale sale;
  std::string what = "the test invoice";
  bool port_used = false;  // the real print has begun: what its port took is what counts
  try {
    orvo::InvPrinter obj(host);
    if (cmd.count("--settings") > 0) obj.set_settings_file(common.settings);

    if (test_print->parsed()) {
      if (!apply_printer_options(obj, printer, cmd)) return kExitUsage;
      catch_stop_signals();
      port_used = true;
      obj.TestPrint();
      return kExitPrinted;
    }

    std::string text;
    std::filesystem::path source = sale_file;
    try {
      if (sale_file == "-") source = "<stdin>";
      text = sale_file == "-" ? orvo::cli::read_stdin() : orvo::cli::read_file(sale_file);
      sale = orvo::cli::parse_sale(text, source, known_invoice_key);
    } catch (const orvo::cli::InputError& e) {
      return usage_error(e.what());
    }
    for (const std::string& w : sale.warnings) std::cerr << kProgram << ": warning: " << w << '\n';
    if (!apply_printer_options(obj, printer, cmd)) return kExitUsage;
    if (cmd.count("--page-output") > 0) obj.set_page_output(printer.page_output);
    apply_invoice(obj, sale);
    what = "invoice " + orvo::Str(obj.InvNo());
    const orvo::Variant pv_detail =
        cmd.count("--detail") > 0 ? orvo::Variant(detail) : orvo::Variant();
    // From here on a signal stops the print; before, it ends the process as usual.
    catch_stop_signals();
    // A page layout draws on a page printer: it has no bytes to check.
    const bool roll = orvo::route_for(orvo::Str(obj.InvPrintType()), detail == "Y").roll;
    if (!common.no_check && roll) {
      try {
        obj.check(pv_detail, *orvo::cli::parse_sale(text, source, known_invoice_key).items);
      } catch (const orvo::Error& e) {
        if (orvo::print_interrupt()) throw;
        std::cerr << error_line(explained(e, sale.invoice))
                  << " (found by the check before printing: nothing was sent)\n";
        return kExitComponent;
      }
    }
    port_used = true;
    const bool printed = obj.PrintInv(pv_detail, *sale.items);
    if (!printed && orvo::print_interrupt())
      return report_stop(*host, proc, what, port_used, printer.port);
    return printed ? kExitPrinted : kExitNotPrinted;
  } catch (const orvo::Error& e) {
    if (orvo::print_interrupt()) return report_stop(*host, proc, what, port_used, printer.port);
    std::cerr << error_line(explained(e, sale.invoice)) << '\n';
    return kExitComponent;
  } catch (const std::exception& e) {
    std::cerr << "error: " << e.what() << '\n';
    return kExitComponent;
  }
}
