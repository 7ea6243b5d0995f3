// The command line as an integrator meets it: exit statuses, its one error line, help texts, the
// bytes on a file port.
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_fixture.h"
#include "shared/cp950.h"

namespace orvo::testing {
namespace {

TEST_F(Cli, TestPrintWritesTheFixedInvoiceForTheGivenClock) {
  const Outcome r = run({"test-print", "--port", path("test.prn").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(path("test.prn")),
            to_cp950("\x1b@\x1bz\x01\x1b"
                     "d\x04機POSID6 序123456  收123\n發票號碼:AB12345678\n"
                     "\x1b"
                     "d\x01餐費小計:  12,500元 \n服務費  :   1,250元 \n"
                     "       合計:   13,750元 \n99/03/05 14:30:05\n\x1b"
                     "d\x0b\x1bo\x0c"));
}

TEST_F(Cli, PrintPassesTheSaleAndDetailToTheObject) {
  const std::string sale = small_sale().string();
  for (const auto& [detail, items_listed] :
       {std::pair{"", false}, std::pair{"N", false}, std::pair{"Y", true}}) {
    std::vector<std::string> args = {"print", sale, "--port", path("sale.prn").string()};
    if (*detail) args.insert(args.end(), {"--detail", detail});
    const Outcome r = run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bytes = read_file(path("sale.prn"));
    for (const char* expected : {"ORVO TEST SHOP", "2010-03-05", "(5678)", "S01", "260"}) {
      EXPECT_NE(bytes.find(expected), std::string::npos) << detail << ": " << expected;
    }
    EXPECT_EQ(bytes.find("GREEN TEA") != std::string::npos, items_listed) << detail;
  }
}

// The store printers report a failed print through the error log: PrintInv returns False.
TEST_F(Cli, ExamplesPrint_AndAFailedStorePrintExitsOne) {
  const char* source_dir = std::getenv("ORVO_SOURCE_DIR");
  const fs::path examples =
      (source_dir ? fs::path(source_dir) : fs::path(__FILE__).parent_path() / "../..") / "examples";
  const struct {
    const char *name, *type, *detail;  // detail "": not given
    bool quiet = false;                // nothing on stderr
    bool store = false;                // ends in a form feed, and logs a failed print
  } cases[] = {{"restaurant_dinner", "RP420", "Y"},
               {"banquet_multi_form", "RP420", "Y"},
               {"deposit", "RP420", "Y"},
               {"entertainment_venue", "RP420A", "Y"},
               {"ktv_room", "KTV420", "Y"},
               {"tp3688_restaurant", "TP3688", "Y"},
               {"store_dayeh", "DAYEH", "", false, true},
               {"store_fe", "FE", "", false, true},
               {"store_cf", "CF", "", false, true},
               {"hotpot_sp320d", "SP320", "Y", true},
               {"takeout_counter_sp320", "SP320", "N", true},
               {"bistro_wp103", "WP103", "N", true},
               {"brunch_sp300", "SP300", "N", true},
               {"noodle_sp200", "SP200", "N", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string sale = (examples / (std::string(c.name) + ".json")).string();
    auto to = [&](const std::string& port) {
      std::vector<std::string> a = {"print", sale, "--type", c.type, "--port", path(port).string()};
      if (*c.detail) a.insert(a.end(), {"--detail", c.detail});
      return a;
    };
    const Outcome r = run(to("example.prn"));
    EXPECT_EQ(r.status, 0) << r.err;
    if (c.quiet) {
      EXPECT_EQ(r.err, "");
    }
    if (!c.store) continue;
    EXPECT_TRUE(read_file(path("example.prn")).ends_with("\x0c"));
    const Outcome failed = run(to("absent/store.prn"));
    EXPECT_EQ(failed.status, 1) << failed.err;
    EXPECT_NE(read_file(path("error.log"))
                  .find(to_cp950("處理程序: (Print_" + std::string(c.type) + ")\r\n")),
              std::string::npos);
  }
}

TEST_F(Cli, ComponentErrorsExitThreeWithOneErrorLine) {
  const std::string port = path("out.prn").string();
  const std::string no_port =
      " (no printer port: give --port PORT, e.g. LPT1, COM1, tcp://HOST:9100, cups:QUEUE or "
      "./invoice.prn, with LPTn/COMn mapped in [Ports] of the settings)";
  const std::string checked = " (found by the check before printing: nothing was sent)\n";
  const std::string words = dir_.write("words.json", R"({"invoice": {"InvNo": "AB12345678",
      "Head0": "one hundred", "InvAmt": "one hundred", "Cash": "x"}})").string();
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"test-print"}, "error -2147221504 from TestPrint: 請先設定連接埠:InvPrintPort" + no_port + "\n"},
      {{"print", small_sale().string()},
       "error -2147221504 from PrintInv: 請先設定連接埠:InvPrintPort" + no_port + checked},
      {{"test-print", "--port", "/dev/full"},
       "error -2147221504 from TestPrint: /dev/full: write failed: No space left on device\n"},
      // The field that holds the text is named; it is the first number field holding it.
      {{"print", words, "--port", port},
       "error -2147221504 from PrintInv: Head0: Type mismatch: \"one hundred\" is not a number" +
           checked},
      {{"print", words, "--port", port, "--no-check"},
       "error -2147221504 from PrintInv: Head0: Type mismatch: \"one hundred\" is not a number\n"},
      // Without a '/' a name is a port or nothing, never a file here.
      {{"test-print", "--port", "LPT10"},
       "error -2147221504 from TestPrint: Bad file name: LPT10: not a port: expected LPT1..LPT9, "
       "COM1..COM9, tcp://HOST:PORT, cups:QUEUE or a path (a path holds a '/', e.g. "
       "./invoice.prn)\n"},
  };
  for (const auto& [args, line] : cases) {
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 3) << line;
    EXPECT_EQ(r.err, line);
  }
  EXPECT_FALSE(fs::exists("LPT10"));
}

// A quantity that reads as no number prints as the component reads it (0), with a warning;
// one with a leading number, as Val reads it, is left alone.
TEST_F(Cli, ItemQuantityWithNoNumberIsWarnedAboutAndPrinted) {
  const std::pair<const char*, bool> qty[] = {
      {"two", true},  {"2 cups", false}, {"-5", false},   {"- .5", false}, {".5", false},
      {"&O0", false}, {"&O8", true},     {"&HFF", false}, {"-", true},     {" ", true}};
  std::string items, expected;
  for (std::size_t i = 0; i < std::size(qty); ++i) {
    items += std::string(i ? "," : "") + R"({"itemname": "TEA", "PriceCap": "", "Qty": ")" +
             qty[i].first + R"(", "Price": 30, "Amt": 30, "ItemType": "A1", "RefKPType": "",
             "Remark": ""})";
    if (qty[i].second)
      expected += "orvo-invoice: warning: items[" + std::to_string(i) + "].Qty: \"" +
                  qty[i].first + "\" has no leading number; it is read as 0\n";
  }
  const std::string sale = dir_.write("qty.json", R"({"invoice": {"InvNo": "AB12345678"},
      "items": [)" + items + "]}").string();
  const Outcome r = run({"print", sale, "--detail", "Y", "--port", path("qty.prn").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, expected);
  EXPECT_NE(read_file(path("qty.prn")).find("TEA"), std::string::npos);
}

TEST_F(Cli, UsageAndInputErrorsExitTwoNamingTheProblem) {
  const std::string unknown =
      dir_.write("unknown.json", R"({"invoice": {"InvAmount": 1}})").string();
  const std::string absent = path("absent.json").string();
  const std::string sale = small_sale().string();
  const std::string port = path("never.prn").string();
  // Invalid UTF-8 is told by position, never echoed as the raw byte.
  const std::string big5 =
      dir_.write("big5.json", "{\"invoice\": {\"Remark\": \"\xB0\xA8\"}}").string();
  const std::string absent_ini = path("absent.ini").string();
  const struct {
    std::vector<std::string> args;
    RunOptions o;
    std::string mention;
  } cases[] = {
      // The library's own text stays beside the list of what is accepted.
      {{"print", sale, "--type", "rp420", "--port", port},
       {},
       "orvo-invoice: --type \"rp420\": not a printer type; InvPrintType accepts exactly CF, DAYEH, "
       "FE, KTV420, RP420, RP420A, SP200, SP300, SP320, TP3688, WIN3PA4, WIN3PA4B, WINLQ3P, "
       "WINLQM1, WISEINV, WP103 ("},
      {{"test-print", "--type", "SP320D", "--port", port},
       {},
       "WP103 (error -2147221504 from InvPrintPort: 不支援此發票機種類:SP320D)\n"},
      {{"print", unknown, "--port", port}, {}, "InvAmount"},
      {{"print", absent, "--port", port}, {}, absent + ": cannot open"},
      {{"print", sale, "--port", port}, {.now = "2010-03-05 14:30:05"}, "2010-03-05 14:30:05"},
      {{"test-print", "--port", port}, {.now = "2010-02-29T10:00:00"}, "2010-02-29T10:00:00"},
      {{"test-print", "--port", port}, {.prompt = "sometimes"}, "sometimes"},
      {{"print"}, {}, "SALE.json"},
      {{"print", big5, "--port", port},
       {},
       big5 + ": not UTF-8 text: byte 0xB0 at offset 24 (line 1, byte 25 of the line)"},
      // Only the default settings location may be absent; a named file must be readable.
      {{"print", sale, "--port", port},
       {.settings = absent_ini},
       "--settings: settings file " + absent_ini + ": cannot read: No such file or directory"},
      {{"print", sale, "--port", port},
       {.settings = dir_.path.string()},
       "settings file " + dir_.path.string() + ": cannot read: Is a directory"},
      {{"print", sale, "--port", port, "--no-pause", "--now", kNow},
       {.common = false, .env = {"ORVO_SETTINGS=" + absent_ini}},
       "ORVO_SETTINGS: settings file " + absent_ini + ": cannot read"},
  };
  for (const auto& c : cases) {
    const Outcome r = run(c.args, c.o);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(c.mention), std::string::npos) << c.mention << " not in: " << r.err;
    EXPECT_EQ(r.err.find('\xB0'), std::string::npos);
    EXPECT_FALSE(fs::exists(port)) << "nothing may be printed on a usage error";
  }
}

TEST_F(Cli, SaleFromStandardInput) {
  const Outcome from_file =
      run({"print", small_sale().string(), "--port", path("file.prn").string()});
  ASSERT_EQ(from_file.status, 0) << from_file.err;
  const Outcome from_stdin = run({"print", "-", "--port", path("stdin.prn").string()},
                                 {.stdin_file = small_sale().string()});
  EXPECT_EQ(from_stdin.status, 0) << from_stdin.err;
  EXPECT_EQ(read_file(path("stdin.prn")), read_file(path("file.prn")));
}

// What an integrator needs without the source: exit statuses, the printer types and the default,
// what --detail Y selects, and where settings and the error log are read and written.
TEST_F(Cli, HelpTellsWhatAnIntegratorNeeds) {
  const RunOptions o{.common = false,
                     .env = {"XDG_CONFIG_HOME=/xdg/config", "XDG_STATE_HOME=/xdg/state",
                             "ORVO_SETTINGS=", "ORVO_ERROR_LOG="}};
  const std::vector<std::string> everywhere = {"Exit status:",
                                               "  1      PrintInv returned False",
                                               "  2      usage or input error",
                                               "  3      the component raised an error",
                                               "  128+N  stopped by signal N",
                                               "left out: RP420",
                                               "bytes to --port: DAYEH FE CF",
                                               "RP420A RP420\n",
                                               "a page sheet: WINLQM1 WISEINV WINLQ3P WIN3PA4 WIN3PA4B\n",
                                               "here: /xdg/config/Orvo3/settings.ini",
                                               "here: /xdg/state/Orvo3/error.log",
                                               "$ORVO_SETTINGS",
                                               "$ORVO_ERROR_LOG"};
  for (const auto& [args, extra] :
       {std::pair<std::vector<std::string>, std::vector<std::string>>{
            {"--help"}, {"test-print", "preview", "--detail Y (exactly \"Y\") prints every item"}},
        {{"print", "--help"},
         {"--no-check", "'-': standard input", "--detail Y (exactly \"Y\") prints every item",
          // As the README's table says it.
          "terminal (the text on stderr, waiting for Enter until the seconds pass; Ctrl-C ends "
          "the wait)"}},
        {{"test-print", "--help"}, {}}}) {
    const Outcome r = run(args, o);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const auto& want : everywhere) EXPECT_NE(r.out.find(want), std::string::npos) << want;
    for (const auto& want : extra) EXPECT_NE(r.out.find(want), std::string::npos) << want;
  }
  // The preview's markers, as the README explains them.
  const Outcome preview = run({"preview", "--help"}, o);
  for (const char* want : {"\"(stamped)\" when the printer was told to stamp it (ESC o)",
                           "» instead of the left │: printed in double width",
                           "initialise (ESC @), both stations (ESC z 1: invoice and journal)"})
    EXPECT_NE(preview.out.find(want), std::string::npos) << want;
  const Outcome v = run({"--version"}, o);
  EXPECT_EQ(v.status, 0);
  EXPECT_TRUE(v.out.starts_with("orvo-invoice ") && v.out.size() > 14) << v.out;
}

}  // namespace
}  // namespace orvo::testing
