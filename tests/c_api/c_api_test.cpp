// The C interface as a host in another language sees it: by names, status codes and the
// object's last error. What it prints is checked against the C++ object laying out the same sale.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orvo-invoice/orvo_invoice.h"
#include "printer_object/invoice_printer.h"
#include "support/temp_dir.h"

namespace {

using orvo::testing::read_file;
using orvo::testing::TempDir;

struct Freer {
  void operator()(orvo_invoice* inv) const { orvo_invoice_free(inv); }
};
using Object = std::unique_ptr<orvo_invoice, Freer>;

// On the demo's clock, with settings of its own (none), without pauses or prompts.
Object fresh(const TempDir& dir) {
  Object inv(orvo_invoice_new());
  dir.write("settings.ini", "");
  orvo_invoice_configure(inv.get(), "settings", (dir / "settings.ini").c_str());
  orvo_invoice_configure(inv.get(), "now", "2010-03-05T14:30:05");
  orvo_invoice_configure(inv.get(), "pause", "no");
  orvo_invoice_configure(inv.get(), "prompt", "none");
  return inv;
}

std::string error_of(orvo_invoice* inv) {
  return std::to_string(orvo_invoice_error_number(inv)) + " " + orvo_invoice_error_source(inv) +
         ": " + orvo_invoice_error_description(inv);
}

std::string text_of(orvo_invoice* inv, const char* name) {
  char buf[256];
  EXPECT_EQ(orvo_invoice_get_text(inv, name, buf, sizeof buf, nullptr), ORVO_OK) << error_of(inv);
  return buf;
}

// `n` item rows, each set through the C interface and kept for the C++ object.
std::vector<orvo::MemoryRecordset::Row> add_items(orvo_invoice* inv, int n) {
  std::vector<orvo::MemoryRecordset::Row> rows;
  for (int i = 1; i <= n; ++i) {
    const std::string name = "牛肉麵" + std::to_string(i);
    orvo_invoice_add_row(inv);
    orvo_invoice_row_text(inv, "itemname", name.c_str());
    orvo_invoice_row_null(inv, "PriceCap");
    orvo_invoice_row_number(inv, "Qty", 2);
    orvo_invoice_row_number(inv, "Price", 50 * i);
    orvo_invoice_row_number(inv, "Amt", 100 * i);
    orvo_invoice_row_text(inv, "ItemType", "A1");
    orvo_invoice_row_text(inv, "RefKPType", "");
    orvo_invoice_row_text(inv, "Remark", "");
    rows.push_back({{"itemname", name}, {"PriceCap", orvo::Variant::null()}, {"Qty", 2},
                    {"Price", 50 * i}, {"Amt", 100 * i}, {"ItemType", "A1"}, {"RefKPType", ""},
                    {"Remark", ""}});
  }
  return rows;
}

TEST(CInterface, FieldsAndPropertiesByName) {
  TempDir dir;
  Object inv = fresh(dir);
  orvo_invoice* p = inv.get();
  EXPECT_EQ(orvo_invoice_kind(p, "InvAmt"), ORVO_EMPTY);
  ASSERT_EQ(orvo_invoice_set_number(p, "InvAmt", 1050), ORVO_OK);
  EXPECT_EQ(orvo_invoice_kind(p, "InvAmt"), ORVO_NUMBER);
  EXPECT_EQ(text_of(p, "InvAmt"), "1050");
  ASSERT_EQ(orvo_invoice_set_text(p, "Head0", "好味餐廳"), ORVO_OK);
  EXPECT_EQ(text_of(p, "Head0"), "好味餐廳");
  ASSERT_EQ(orvo_invoice_set_null(p, "Head0"), ORVO_OK);
  EXPECT_EQ(orvo_invoice_kind(p, "Head0"), ORVO_NULL);
  ASSERT_EQ(orvo_invoice_set_text(p, "InvNo", "AB12345678"), ORVO_OK);
  EXPECT_EQ(text_of(p, "InvNo"), "AB12345678");
  ASSERT_EQ(orvo_invoice_set_text(p, "OrderAmt", "1,050"), ORVO_OK);
  double n = 0;
  ASSERT_EQ(orvo_invoice_get_number(p, "OrderAmt", &n), ORVO_OK);
  EXPECT_EQ(n, 1050);

  // The text and its length, or nothing when it does not fit with its zero.
  char buf[5] = "wxyz";
  size_t length = 0;
  EXPECT_EQ(orvo_invoice_get_text(p, "InvAmt", buf, 4, &length), ORVO_TOO_SMALL);
  EXPECT_EQ(length, 4u);
  EXPECT_STREQ(buf, "wxyz");
  EXPECT_EQ(orvo_invoice_get_text(p, "InvAmt", buf, sizeof buf, &length), ORVO_OK);
  EXPECT_STREQ(buf, "1050");

  const struct {
    std::function<int()> call;
    std::string error;
  } failures[] = {
      {[&] { return orvo_invoice_set_text(p, "InvPrintType", "rp420"); },
       "-2147221504 InvPrintPort:: 不支援此發票機種類:rp420"},
      {[&] { return orvo_invoice_set_text(p, "invamt", "1"); },
       "438 OrvoInvoice.InvPrinter: Object doesn't support this property or method: invamt"},
      {[&] { return orvo_invoice_kind(p, "Nothing"); },
       "438 OrvoInvoice.InvPrinter: Object doesn't support this property or method: Nothing"},
      {[&] { return orvo_invoice_get_number(p, "InvNo", &n); },
       "13 OrvoInvoice.InvPrinter: Type mismatch: \"AB12345678\" is not a number"},
      {[&] { return orvo_invoice_set_text(p, "Head1", "\xff"); },
       "5 OrvoInvoice.InvPrinter: Invalid procedure call or argument: the text is not UTF-8 (byte 0)"},
      {[&] { return orvo_invoice_set_number(p, "InvAmt", 1e308 * 10); },
       "6 OrvoInvoice.InvPrinter: Overflow"},
      {[&] { return orvo_invoice_row_text(p, "Qty", "1"); },
       "5 items: Invalid procedure call or argument: no row: call orvo_invoice_add_row first"},
      {[&] { return orvo_invoice_configure(p, "prompt", "loud"); },
       "5 configure: Invalid procedure call or argument: prompt \"loud\" is not auto, gui, "
       "terminal or none"},
      {[&] { return orvo_invoice_configure(p, "now", "yesterday"); },
       "5 configure: Invalid procedure call or argument: now \"yesterday\" is not a date and "
       "time as YYYY-MM-DDTHH:MM:SS"},
      {[&] { return orvo_invoice_print(p, nullptr); },
       "-2147221504 PrintInv: 請先設定連接埠:InvPrintPort"},
  };
  for (const auto& f : failures) {
    EXPECT_EQ(f.call(), ORVO_FAILED) << f.error;
    EXPECT_EQ(error_of(p), f.error);
  }
  // A refused type leaves the property as it was; failed sets leave their fields.
  EXPECT_EQ(orvo_invoice_kind(p, "InvPrintType"), ORVO_EMPTY);
  EXPECT_EQ(text_of(p, "InvAmt"), "1050");
  EXPECT_EQ(orvo_invoice_print(nullptr, "Y"), ORVO_FAILED);
}

TEST(CInterface, PrintsWhatTheObjectLaysOut) {
  TempDir dir;
  Object inv = fresh(dir);
  orvo_invoice* p = inv.get();
  const std::string port = (dir / "sale.prn").string();
  orvo_invoice_set_text(p, "InvPrintPort", port.c_str());
  orvo_invoice_set_text(p, "InvNo", "AB12345678");
  orvo_invoice_set_text(p, "Head0", "好味餐廳");
  orvo_invoice_set_number(p, "InvAmt", 600);
  const auto rows = add_items(p, 3);

  orvo::TerminalHostOptions clock;
  clock.fixed_now = orvo::date_from_civil({2010, 3, 5, 14, 30, 5});
  clock.no_pause = true;
  orvo::InvPrinter same(orvo::make_terminal_host(clock));
  same.InvNo("AB12345678");
  same.InvPrintPort(orvo::Variant(port));
  same.Head0 = "好味餐廳";
  same.InvAmt = 600;
  same.set_settings_file(dir / "settings.ini");
  orvo::MemoryRecordset items(rows);
  const std::string expected = same.lay_out("Y", items);
  ASSERT_NE(expected.find("300"), std::string::npos) << "the C++ object printed no items";

  ASSERT_EQ(orvo_invoice_print(p, "Y"), ORVO_PRINTED) << error_of(p);
  EXPECT_EQ(read_file(port), expected);
  EXPECT_EQ(text_of(p, "PageCount"), "1");

  // Into a buffer (asking the size first) and through a writer, from the same rows again.
  size_t length = 0;
  ASSERT_EQ(orvo_invoice_lay_out(p, "Y", nullptr, 0, &length), ORVO_TOO_SMALL);
  std::string bytes(length, '\0');
  ASSERT_EQ(orvo_invoice_lay_out(p, "Y", bytes.data(), bytes.size(), &length), ORVO_OK);
  EXPECT_EQ(bytes, expected);
  std::string written;
  const orvo_write_fn collect = [](void* to, const char* b, size_t n) {
    static_cast<std::string*>(to)->append(b, n);
    return 0;
  };
  ASSERT_EQ(orvo_invoice_lay_out_to(p, "Y", collect, &written), ORVO_OK);
  EXPECT_EQ(written, expected);
  const orvo_write_fn refuse = [](void*, const char*, size_t) { return 28; };
  EXPECT_EQ(orvo_invoice_lay_out_to(p, "Y", refuse, nullptr), ORVO_FAILED);
  EXPECT_EQ(error_of(p), "57 lay_out: the write function returned 28");
}

struct Seen {
  std::vector<std::string> calls;
};

TEST(CInterface, TheOperatorIsReachedThroughTheHostsCallbacks) {
  TempDir dir;
  setenv("ORVO_ERROR_LOG", (dir / "error.log").c_str(), 1);
  Seen seen;
  orvo_host_callbacks host{};
  host.context = &seen;
  host.message_box = [](void* c, const char* text, orvo_box_icon icon) {
    static_cast<Seen*>(c)->calls.push_back("box " + std::to_string(icon) + " " + text);
  };
  host.prompt = [](void* c, const char* text, int seconds) {
    static_cast<Seen*>(c)->calls.push_back("prompt " + std::to_string(seconds) + " " + text);
  };
  host.beep = [](void* c) { static_cast<Seen*>(c)->calls.push_back("beep"); };
  host.busy = [](void* c, int on) {
    static_cast<Seen*>(c)->calls.push_back("busy " + std::to_string(on));
  };

  Object inv = fresh(dir);
  orvo_invoice* p = inv.get();
  ASSERT_EQ(orvo_invoice_set_host(p, &host), ORVO_OK);
  // A sale running into the form numbered 250 asks for a new roll.
  const std::string port = (dir / "roll.prn").string();
  orvo_invoice_set_text(p, "InvPrintPort", port.c_str());
  orvo_invoice_set_text(p, "InvNo", "AB12345249");
  add_items(p, 16);
  ASSERT_EQ(orvo_invoice_print(p, "Y"), ORVO_PRINTED) << error_of(p);
  EXPECT_EQ(seen.calls, (std::vector<std::string>{"busy 1", "prompt 900 請更換發票後按[確定]", "busy 0"}));

  // A store printer reports a port it cannot open in a box, and does not print.
  seen.calls.clear();
  orvo_invoice_set_text(p, "InvPrintType", "DAYEH");
  orvo_invoice_set_text(p, "InvPrintPort", (dir / "no" / "such.prn").c_str());
  EXPECT_EQ(orvo_invoice_print(p, "Y"), ORVO_NOT_PRINTED);
  // The error log puts the pointer back after its box, and the print once more at its end.
  ASSERT_EQ(seen.calls.size(), 5u) << ::testing::PrintToString(seen.calls);
  EXPECT_EQ(seen.calls[1], "beep");
  EXPECT_EQ(seen.calls[2].substr(0, 6), "box 1 ");
  EXPECT_NE(seen.calls[2].find("such.prn: cannot open"), std::string::npos) << seen.calls[2];
  EXPECT_EQ(seen.calls[4], "busy 0");
  unsetenv("ORVO_ERROR_LOG");
}

}  // namespace
