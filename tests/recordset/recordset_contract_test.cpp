// What every recordset does the same way, run against the in-memory and the SQLite one.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "recordset/recordset_test_support.h"

namespace orvo {
namespace {

using testing::error_from;
using testing::exec_sql;
using testing::ScratchDir;

const std::string kNoCurrent =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
    "requires a current record.";

std::vector<MemoryRecordset::Row> sale_rows() {
  return {
      {{"itemname", "茶葉蛋"}, {"Qty", 2}, {"Price", 12.5}},
      {{"itemname", "Coffee"}, {"Qty", 1}, {"Price", 45}},
      {{"itemname", "折扣"}, {"Qty", 1}, {"Price", -10}},
  };
}

using Factory = std::function<std::unique_ptr<Recordset>(const ScratchDir&, bool with_rows)>;

std::unique_ptr<Recordset> make_memory(const ScratchDir&, bool with_rows) {
  return std::make_unique<MemoryRecordset>(with_rows ? sale_rows()
                                                     : std::vector<MemoryRecordset::Row>{});
}

std::unique_ptr<Recordset> make_sqlite(const ScratchDir& dir, bool with_rows) {
  const auto db = dir.path("sale.db");
  std::string sql = "CREATE TABLE items(seq INTEGER, itemname TEXT, Qty INTEGER, Price REAL);";
  if (with_rows) {
    sql +=
        "INSERT INTO items VALUES (1, '茶葉蛋', 2, 12.5), (2, 'Coffee', 1, 45), (3, '折扣', 1, "
        "-10);";
  }
  exec_sql(db, sql);
  return std::make_unique<SqliteRecordset>(db,
                                           "SELECT itemname, Qty, Price FROM items ORDER BY seq");
}

struct Kind {
  const char* name;
  Factory make;
};

void PrintTo(const Kind& k, std::ostream* os) { *os << k.name; }

class RecordsetContract : public ::testing::TestWithParam<Kind> {
 protected:
  std::unique_ptr<Recordset> make(bool with_rows = true) {
    return GetParam().make(dir_, with_rows);
  }
  ScratchDir dir_;
};

TEST_P(RecordsetContract, WalksEachRowOnceFromTheFirstThenRefusesToGoOn) {
  auto rs = make();
  ASSERT_EQ(rs->State(), 1);
  std::vector<Variant> names, qtys, prices;
  while (!rs->Eof()) {
    names.push_back(rs->Fields("itemname"));
    qtys.push_back(rs->Fields("Qty"));
    prices.push_back(rs->Fields("Price"));
    rs->MoveNext();
  }
  EXPECT_EQ(names, (std::vector<Variant>{"茶葉蛋", "Coffee", "折扣"}));
  EXPECT_EQ(qtys, (std::vector<Variant>{2, 1, 1}));
  EXPECT_EQ(prices, (std::vector<Variant>{12.5, 45, -10}));

  for (auto op : std::vector<std::function<void()>>{[&] { rs->Fields("itemname"); },
                                                    [&] { rs->Fields("NoSuchField"); },
                                                    [&] { rs->MoveNext(); }}) {
    const Error e = error_from(op);
    EXPECT_EQ(e.number(), 3021);
    EXPECT_EQ(e.description(), kNoCurrent);
  }
  EXPECT_TRUE(rs->Eof());
}

TEST_P(RecordsetContract, WalkContinuesFromTheCurrentRow) {
  auto rs = make();
  rs->MoveNext();
  std::vector<Variant> names;
  for (; !rs->Eof(); rs->MoveNext()) names.push_back(rs->Fields("itemname"));
  EXPECT_EQ(names, (std::vector<Variant>{"Coffee", "折扣"}));
}

TEST_P(RecordsetContract, NamesMatchIgnoringAsciiCaseOnly) {
  auto rs = make();
  for (const char* name : {"itemname", "ITEMNAME", "ItemName", "iTeMnAmE"}) {
    EXPECT_EQ(rs->Fields(name), Variant("茶葉蛋")) << name;
  }
  EXPECT_EQ(rs->Fields("qTY"), Variant(2));

  // Near misses stay misses, and the error names the field exactly as it was asked for.
  for (const std::string name : {"item", "itemname ", "ｉtemname", "", "Qty2"}) {
    const Error e = error_from([&] { rs->Fields(name); });
    EXPECT_EQ(e.number(), 3265) << name;
    EXPECT_EQ(e.description(),
              "Item cannot be found in the collection corresponding to the requested name or "
              "ordinal: " +
                  name);
  }
  EXPECT_EQ(rs->Fields("Price"), Variant(12.5)) << "a failed lookup must not move the record";
}

TEST_P(RecordsetContract, NoRowsIsOpenAndAtEofAtOnce) {
  auto rs = make(false);
  EXPECT_EQ(rs->State(), 1);
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(error_from([&] { rs->Fields("itemname"); }).number(), 3021);
  EXPECT_EQ(error_from([&] { rs->MoveNext(); }).number(), 3021);
}

INSTANTIATE_TEST_SUITE_P(Both, RecordsetContract,
                         ::testing::Values(Kind{"Memory", make_memory},
                                           Kind{"Sqlite", make_sqlite}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(MemoryRecordset, ClosedRefusesEveryOperation) {
  MemoryRecordset rs;
  EXPECT_EQ(rs.State(), 0);
  for (auto op : std::vector<std::function<void()>>{
           [&] { (void)rs.Eof(); }, [&] { rs.Fields("itemname"); }, [&] { rs.MoveNext(); }}) {
    const Error e = error_from(op);
    EXPECT_EQ(e.number(), 3704);
    EXPECT_EQ(e.description(), "Operation is not allowed when the object is closed.");
  }
}

TEST(MemoryRecordset, EachRowHasItsOwnFields) {
  MemoryRecordset rs({{{"itemname", "A"}, {"Remark", "gift"}}, {{"itemname", "B"}}});
  EXPECT_EQ(rs.Fields("remark"), Variant("gift"));
  rs.MoveNext();
  EXPECT_EQ(rs.Fields("ItemName"), Variant("B"));
  EXPECT_EQ(error_from([&] { rs.Fields("Remark"); }).number(), 3265);
}

}  // namespace
}  // namespace orvo
