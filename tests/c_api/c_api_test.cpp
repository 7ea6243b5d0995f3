// The C interface as a host in another language sees it: by names, status codes and the
// object's last error. What it prints is checked against the C++ object laying out the same sale.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "orvo-invoice/orvo_invoice.h"
#include "printer_object/invoice_printer.h"
#include "shared/case_file.h"
#include "support/temp_dir.h"

namespace {

using orvo::testing::read_file;
using orvo::testing::TempDir;

using Object = std::unique_ptr<orvo_invoice, decltype(&orvo_invoice_free)>;

// On the demo's clock, with settings of its own (none), without pauses or prompts.
Object fresh(const TempDir& dir) {
  Object inv(orvo_invoice_new(), orvo_invoice_free);
  const std::string settings = dir.write("settings.ini", "").string();
  for (const auto& [key, value] :
       {std::pair{"settings", settings.c_str()}, {"now", "2010-03-05T14:30:05"}, {"pause", "no"},
        {"prompt", "none"}}) {
    EXPECT_EQ(orvo_invoice_configure(inv.get(), key, value), ORVO_OK) << key;
  }
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

// `n` item rows, each set through the C interface by its value's kind and kept for the C++ object.
std::vector<orvo::MemoryRecordset::Row> add_items(orvo_invoice* inv, int n) {
  std::vector<orvo::MemoryRecordset::Row> rows;
  for (int i = 1; i <= n; ++i) {
    rows.push_back({{"itemname", "牛肉麵" + std::to_string(i)}, {"PriceCap", orvo::Variant::null()},
                    {"Qty", 2}, {"Price", 50 * i}, {"Amt", 100 * i}, {"ItemType", "A1"},
                    {"RefKPType", ""}, {"Remark", ""}});
    orvo_invoice_add_row(inv);
    for (const auto& [column, value] : rows.back()) {
      if (value.is_null()) {
        orvo_invoice_row_null(inv, column.c_str());
      } else if (value.is_text()) {
        orvo_invoice_row_text(inv, column.c_str(), value.as_text().c_str());
      } else {
        orvo_invoice_row_number(inv, column.c_str(), value.as_number());
      }
    }
  }
  return rows;
}

// One call by its name in the case file, and what it returned there: a status, a field's kind or
// the value read back.
std::string call(orvo_invoice* p, const std::vector<std::string>& c) {
  const char *name = c[1].c_str(), *arg = c[2].c_str();
  const auto status = [](int s) {
    return s == ORVO_OK ? "ok" : s == ORVO_FAILED ? "failed" : s == ORVO_TOO_SMALL ? "too small"
                                                                                  : "?";
  };
  if (c[0] == "set_text") return status(orvo_invoice_set_text(p, name, arg));
  if (c[0] == "set_number") {
    return status(orvo_invoice_set_number(p, name, std::strtod(arg, nullptr)));
  }
  if (c[0] == "set_null") return status(orvo_invoice_set_null(p, name));
  if (c[0] == "row_text") return status(orvo_invoice_row_text(p, name, arg));
  if (c[0] == "configure") return status(orvo_invoice_configure(p, name, arg));
  if (c[0] == "print") return status(orvo_invoice_print(p, nullptr));
  if (c[0] == "get_text") {  // into a buffer of the size given (or of 256), and the length
    char buf[256] = "untouched";
    std::size_t length = 0;
    const std::size_t size = c[2].empty() ? sizeof buf : stoul(c[2]);
    const int s = orvo_invoice_get_text(p, name, buf, size, &length);
    return (s == ORVO_OK ? "" : status(s) + std::string(" ")) + buf + " " + std::to_string(length);
  }
  if (c[0] == "get_number") {
    double n = 0;
    return orvo_invoice_get_number(p, name, &n) == ORVO_OK ? orvo::number_text(n) : "failed";
  }
  const char* kinds[] = {"empty", "null", "boolean", "number", "text", "date"};
  const int kind = orvo_invoice_kind(p, name);
  return kind == ORVO_FAILED ? "failed" : kinds[kind];
}

TEST(CInterface, FieldsAndPropertiesByName) {
  TempDir dir;
  Object inv = fresh(dir);
  orvo_invoice* p = inv.get();
  for (const auto& c : orvo::testing::read_cases("c_api/data/calls.tsv")) {
    EXPECT_EQ(call(p, c), c[3]) << c[0] << " " << c[1];
    if (c.size() > 4) {
      EXPECT_EQ(error_of(p), c[4]);
    }
  }

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

// What the host's callbacks were asked, in order.
void note(void* seen, std::string call) {
  static_cast<std::vector<std::string>*>(seen)->push_back(std::move(call));
}

TEST(CInterface, TheOperatorIsReachedThroughTheHostsCallbacks) {
  TempDir dir;
  setenv("ORVO_ERROR_LOG", (dir / "error.log").c_str(), 1);
  std::vector<std::string> seen;
  orvo_host_callbacks host{};
  host.context = &seen;
  host.message_box = [](void* c, const char* text, orvo_box_icon icon) {
    note(c, "box " + std::to_string(icon) + " " + text);
  };
  host.prompt = [](void* c, const char* text, int s) {
    note(c, "prompt " + std::to_string(s) + " " + text);
  };
  host.beep = [](void* c) { note(c, "beep"); };
  host.busy = [](void* c, int on) { note(c, "busy " + std::to_string(on)); };

  Object inv = fresh(dir);
  orvo_invoice* p = inv.get();
  ASSERT_EQ(orvo_invoice_set_host(p, &host), ORVO_OK);
  // A sale running into the form numbered 250 asks for a new roll.
  const std::string port = (dir / "roll.prn").string();
  orvo_invoice_set_text(p, "InvPrintPort", port.c_str());
  orvo_invoice_set_text(p, "InvNo", "AB12345249");
  add_items(p, 16);
  ASSERT_EQ(orvo_invoice_print(p, "Y"), ORVO_PRINTED) << error_of(p);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"busy 1", "prompt 900 請更換發票後按[確定]", "busy 0"}));

  // A store printer reports a port it cannot open in a box, and does not print.
  seen.clear();
  orvo_invoice_set_text(p, "InvPrintType", "DAYEH");
  orvo_invoice_set_text(p, "InvPrintPort", (dir / "no" / "such.prn").c_str());
  EXPECT_EQ(orvo_invoice_print(p, "Y"), ORVO_NOT_PRINTED);
  // The error log puts the pointer back after its box, and the print once more at its end.
  ASSERT_EQ(seen.size(), 5u) << ::testing::PrintToString(seen);
  EXPECT_EQ(seen[1], "beep");
  EXPECT_EQ(seen[2].substr(0, 6), "box 1 ");
  EXPECT_NE(seen[2].find("such.prn: cannot open"), std::string::npos) << seen[2];
  EXPECT_EQ(seen[4], "busy 0");
  unsetenv("ORVO_ERROR_LOG");
}

}  // namespace
