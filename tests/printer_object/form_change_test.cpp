#include "shared/case_file.h"
#include "support/printer_fixture.h"
#include "support/raised.h"

namespace orvo::testing {
namespace {

MemoryRecordset::Row row(const std::string& name, double amt, const char* type = "A1") {
  return {{"itemname", Variant(name)},
          {"PriceCap", Variant("")},
          {"Qty", Variant(1)},
          {"Amt", Variant(amt)},
          {"ItemType", Variant(type)}};
}

std::vector<MemoryRecordset::Row> numbered_items(int n) {
  std::vector<MemoryRecordset::Row> rows;
  for (int i = 1; i <= n; ++i)
    rows.push_back(row("品項" + std::string(i < 10 ? "0" : "") + std::to_string(i), 10));
  return rows;
}

class FormChangeTest : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    printer.StoreID = Variant("S1");
    printer.UserID = Variant("U1");
    printer.POSID = Variant(1);
    printer.InvAmt = Variant(400);
  }
};

TEST_F(FormChangeTest, MissingFieldOrNonNumericAmountEndsThePrint) {
  struct Case {
    std::function<void()> setup;
    std::vector<MemoryRecordset::Row> rows;
    std::string detail;
    std::string in_description;
  } cases[] = {
      {[] {}, {{{"itemname", Variant("麵")}}}, "Y", "PriceCap"},
      {[this] { printer.InvAmt = Variant("一千"); }, {}, "N", "Type mismatch: \"一千\""},
      {[this] { printer.InvAmt = Variant("1e400"); }, {}, "N", "Overflow"},
      {[this] { settings("chkPrintMore=Y\n"), printer.OrderAmt = Variant("12abc"); },
       {{{"RefKPType", Variant("")}, {"ItemType", Variant("A1")}, {"Price", Variant(10)},
         {"Amt", Variant(10)}, {"Qty", Variant(1)}}},
       "N",
       "\"12abc\" is not a number"},
      {[this] { settings("chkPrintMore=Y\n"); }, {row("麵", 10)}, "N", "RefKPType"},
  };
  for (auto& c : cases) {
    c.setup();
    MemoryRecordset rows(c.rows);
    const Error e = raised([&] { printer.PrintInv(Variant(c.detail), rows); });
    EXPECT_EQ(e.source(), "PrintInv");
    EXPECT_NE(e.description().find(c.in_description), std::string::npos) << e.description();
    EXPECT_FALSE(host->busy);
  }
}

// Item rows made as they are read: a sale of any length costs no memory.
class GeneratedItems : public Recordset {
 public:
  explicit GeneratedItems(long count) : count_(count) {}
  int State() const override { return 1; }
  bool Eof() const override { return read >= count_; }
  Variant Fields(std::string_view name) const override {
    if (name == "itemname") return Variant("麵" + std::to_string(read));
    if (name == "Qty") return Variant(1);
    if (name == "Amt") return Variant(10);
    if (name == "ItemType") return Variant("A1");
    return Variant("");
  }
  void MoveNext() override { ++read; }
  long read = 0;

 private:
  long count_;
};

// What a port was sent: counts and the last piece only.
struct Sent {
  long form_feeds = 0;
  std::string last;
};

class CountingPort : public Port {
 public:
  explicit CountingPort(std::shared_ptr<Sent> sent) : sent_(std::move(sent)) {}
  void write(std::string_view bytes) override {
    sent_->form_feeds += bytes == "\x0c";
    sent_->last.assign(bytes);
  }
  void close() override {}
  std::uint64_t delivered() const override { return 0; }

 private:
  std::shared_ptr<Sent> sent_;
};

// The page counter is 16 bits: form 32,768 cannot be numbered, and the print stops before any
// of it is sent.
TEST_F(FormChangeTest, MillionItemDetailSaleOverflowsThePageCounterCleanly) {
  auto sent = std::make_shared<Sent>();
  printer.set_port_opener([sent](const std::string&, const Settings&) -> std::unique_ptr<Port> {
    return std::make_unique<CountingPort>(sent);
  });
  printer.InvNo(Variant("AB00000001"));
  GeneratedItems items(1'000'000);
  try {
    printer.PrintInv(Variant("Y"), items);
    FAIL() << "a million item lines fit";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), kObjectError);
    EXPECT_EQ(e.source(), "PrintInv");
    EXPECT_EQ(e.description(), "Overflow");
  }
  EXPECT_EQ(sent->form_feeds, 32767);
  EXPECT_EQ(sent->last, "\x0c");  // form 32,767 fed out; nothing of the next
  EXPECT_EQ(items.read, 32767L * 15);  // 15 item lines a form; the next row's line never printed
  EXPECT_EQ(Str(printer.PageCount), "1");
  EXPECT_FALSE(host->busy);
}

TEST_F(FormChangeTest, RollChangePromptOnlyWhenANewRollStarts) {
  for (const auto& c : read_cases("printer_object/data/roll_change.tsv")) {
    host->prompts.clear();
    printer.InvNo(Variant(c[0]));
    MemoryRecordset rows(numbered_items(16));
    ASSERT_TRUE(printer.PrintInv(Variant("Y"), rows));
    EXPECT_EQ(host->prompts.size(), c[1] == "yes" ? 1u : 0u) << c[0];
    EXPECT_NE(from_cp950(captured()).find("檢碼(" + c[2] + ") 機   1  頁:02\n"),
              std::string::npos)
        << c[0];
  }
}

}  // namespace
}  // namespace orvo::testing
