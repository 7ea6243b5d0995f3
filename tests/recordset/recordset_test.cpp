// Recordsets: what every kind does the same way, then SQLite's own types and failures.
#include "recordset/recordset.h"

#include <sqlite3.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "shared/case_file.h"
#include "support/raised.h"
#include "support/temp_dir.h"

namespace orvo {

inline void PrintTo(const Variant& v, std::ostream* os) {
  static const char* const kKinds[] = {"Empty", "Null", "Boolean", "Number", "Text", "Date"};
  *os << kKinds[static_cast<int>(v.kind())] << " \"" << Str(v) << '"';
}

namespace {

using testing::raised;
using testing::TempDir;

// Creates or extends a database; any SQLite error fails the test.
void exec_sql(const std::filesystem::path& db_path, const std::string& sql) {
  sqlite3* db = nullptr;
  char* msg = nullptr;
  int rc = sqlite3_open(db_path.c_str(), &db);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg);
  EXPECT_EQ(rc, SQLITE_OK) << (msg ? msg : sqlite3_errmsg(db)) << "\nin: " << sql;
  sqlite3_free(msg);
  sqlite3_close(db);
}

using Rows = std::vector<std::vector<Variant>>;

std::unique_ptr<Recordset> make_memory(const TempDir&, bool with_rows) {
  std::vector<MemoryRecordset::Row> rows = {{{"itemname", "茶葉蛋"}, {"Qty", 2}, {"Price", 12.5}},
                                            {{"itemname", "Coffee"}, {"Qty", 1}, {"Price", 45}},
                                            {{"itemname", "折扣"}, {"Qty", 1}, {"Price", -10}}};
  if (!with_rows) rows.clear();
  return std::make_unique<MemoryRecordset>(std::move(rows));
}

std::unique_ptr<Recordset> make_sqlite(const TempDir& dir, bool with_rows) {
  const auto db = dir / (with_rows ? "sale.db" : "none.db");
  exec_sql(db, "CREATE TABLE items(seq INTEGER, itemname TEXT, Qty INTEGER, Price REAL);" +
                   std::string(with_rows ? "INSERT INTO items VALUES (1, '茶葉蛋', 2, 12.5), "
                                           "(2, 'Coffee', 1, 45), (3, '折扣', 1, -10);"
                                         : ""));
  return std::make_unique<SqliteRecordset>(db,
                                           "SELECT itemname, Qty, Price FROM items ORDER BY seq");
}

struct Kind {
  const char* name;
  std::unique_ptr<Recordset> (*make)(const TempDir&, bool with_rows);
};

class RecordsetContract : public ::testing::TestWithParam<Kind> {
 protected:
  std::unique_ptr<Recordset> make(bool with_rows = true) {
    return GetParam().make(dir_, with_rows);
  }
  TempDir dir_;
};

TEST_P(RecordsetContract, FindsFieldsByNameAndWalksEachRowOnce) {
  auto rs = make();
  ASSERT_EQ(rs->State(), 1);
  EXPECT_EQ(rs->Fields("iTeMnAmE"), Variant("茶葉蛋"));
  // Names ignore ASCII case only; the error names the field exactly as it was asked for.
  for (const std::string name : {"item", "itemname ", "ｉtemname", "Qty2"}) {
    const Error e = raised([&] { rs->Fields(name); });
    EXPECT_EQ(e.number(), 3265) << name;
    EXPECT_EQ(e.description(),
              "Item cannot be found in the collection corresponding to the requested name or "
              "ordinal: " +
                  name);
  }
  Rows rows;
  for (; !rs->Eof(); rs->MoveNext()) {
    rows.push_back({rs->Fields("itemname"), rs->Fields("Qty"), rs->Fields("Price")});
  }
  EXPECT_EQ(rows, (Rows{{"茶葉蛋", 2, 12.5}, {"Coffee", 1, 45}, {"折扣", 1, -10}}));

  auto none = make(false);
  EXPECT_EQ(none->State(), 1);
  EXPECT_TRUE(none->Eof());
  for (Recordset* at_end : {rs.get(), none.get()}) {
    const std::function<void()> ops[] = {[&] { at_end->Fields("itemname"); },
                                         [&] { at_end->Fields("NoSuchField"); },
                                         [&] { at_end->MoveNext(); }};
    for (const auto& op : ops) {
      const Error e = raised(op);
      EXPECT_EQ(e.number(), 3021);
      EXPECT_EQ(e.description(),
                "Either BOF or EOF is True, or the current record has been deleted. Requested "
                "operation requires a current record.");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Both, RecordsetContract,
                         ::testing::Values(Kind{"Memory", make_memory},
                                           Kind{"Sqlite", make_sqlite}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(MemoryRecordset, ClosedRefusesEveryOperation) {
  MemoryRecordset rs;
  EXPECT_EQ(rs.State(), 0);
  const std::function<void()> ops[] = {[&] { (void)rs.Eof(); }, [&] { rs.Fields("itemname"); },
                                       [&] { rs.MoveNext(); }};
  for (const auto& op : ops) {
    const Error e = raised(op);
    EXPECT_EQ(e.number(), 3704);
    EXPECT_EQ(e.description(), "Operation is not allowed when the object is closed.");
  }
}

class SqliteRecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exec_sql(db_,
             "CREATE TABLE items(itemname TEXT, Qty INTEGER, Price REAL, Remark);"
             "INSERT INTO items VALUES ('茶葉蛋', 2, 12.5, NULL), ('Coffee', 1, 45, 'hot');");
  }
  TempDir dir_;
  const std::filesystem::path db_ = dir_ / "sale.db";
};

TEST_F(SqliteRecordsetTest, EachCellReadsAsStored) {
  for (const auto& c : testing::read_cases("recordset/data/cells.tsv")) {
    EXPECT_EQ(SqliteRecordset(db_, "SELECT " + c[0] + " AS v").Fields("V"), testing::case_value(c[1]))
        << c[0];
  }
  // Neither the declaration nor the first row fixes a column's type.
  exec_sql(db_, "INSERT INTO items VALUES ('x', 'two', 6, 7)");
  SqliteRecordset rs(db_, "SELECT Qty, Remark FROM items ORDER BY rowid");
  Rows got;
  for (; !rs.Eof(); rs.MoveNext()) got.push_back({rs.Fields("qty"), rs.Fields("Remark")});
  EXPECT_EQ(got, (Rows{{2, Variant::null()}, {1, "hot"}, {"two", 7}}));
}

TEST_F(SqliteRecordsetTest, UnusableDatabaseNamesPathAndReason) {
  const auto missing = dir_ / "no_such.db";
  const auto not_db = dir_.write("notes.txt", "not a database, just text long enough to be read\n");
  for (const auto& [db, reason] : {std::pair{missing, "unable to open database file"},
                                   std::pair{not_db, "file is not a database"}}) {
    const Error e = raised([&, &db = db] { SqliteRecordset rs(db, "SELECT * FROM items"); });
    EXPECT_EQ(e.number(), Recordset::kDatabaseError);
    EXPECT_NE(e.description().find(std::string("'").append(db.string()).append("': ").append(reason)),
              std::string::npos)
        << e.description();
  }
  EXPECT_FALSE(std::filesystem::exists(missing)) << "a read-only open must not create the file";
}

TEST_F(SqliteRecordsetTest, BadQueriesAreRefusedWithAReason) {
  const struct {
    std::string query;
    std::int32_t number;
    std::string reason;
  } cases[] = {
      {"SELECT * FROM item", Recordset::kDatabaseError, "no such table: item"},
      {"DELETE FROM items", 5, "returns no rows"},
      {" -- only a comment", 5, "is empty"},
      {"SELECT 1; DELETE FROM items", 5, "more than one statement"},
      {"SELECT 1; SELEC", Recordset::kDatabaseError, "syntax error"},
      // Runs on the first step: the read-only connection refuses to write.
      {"UPDATE items SET Qty = 0 RETURNING Qty", Recordset::kDatabaseError, "readonly database"},
  };
  for (const auto& c : cases) {
    const Error e = raised([&] { SqliteRecordset rs(db_, c.query); });
    EXPECT_EQ(e.number(), c.number) << c.query;
    EXPECT_NE(e.description().find(db_.string()), std::string::npos) << e.description();
    EXPECT_NE(e.description().find(c.reason), std::string::npos) << e.description();
  }
  SqliteRecordset rs(db_, "SELECT Qty FROM items ORDER BY rowid; -- trailing comment\n");
  EXPECT_EQ(rs.Fields("Qty"), Variant(2)) << "the refused queries must not have changed anything";
}

TEST_F(SqliteRecordsetTest, FailureMidWalkRaisesThenLeavesNoCurrentRecord) {
  // abs() of the smallest integer overflows, but only when that row is stepped to.
  exec_sql(db_,
           "CREATE TABLE n(v INTEGER); INSERT INTO n VALUES (-5), (-9223372036854775808), (7);");
  SqliteRecordset rs(db_, "SELECT abs(v) AS a FROM n ORDER BY rowid");
  EXPECT_EQ(rs.Fields("a"), Variant(5));
  const Error e = raised([&] { rs.MoveNext(); });
  EXPECT_EQ(e.number(), Recordset::kDatabaseError);
  EXPECT_NE(e.description().find("integer overflow"), std::string::npos) << e.description();
  EXPECT_TRUE(rs.Eof());
  EXPECT_EQ(raised([&] { rs.Fields("a"); }).number(), 3021);
  // The same failure on the first row fails the construction itself.
  EXPECT_EQ(
      raised([&] { SqliteRecordset first(db_, "SELECT abs(v) FROM n WHERE v < -5"); }).number(),
      Recordset::kDatabaseError);
}

TEST_F(SqliteRecordsetTest, DoesNotHoldTheDatabaseAfterDestruction) {
  { SqliteRecordset rs(db_, "SELECT * FROM items"); }
  // A writer needs no lock held by a finished recordset: the host writes the next sale.
  exec_sql(db_, "BEGIN EXCLUSIVE; DELETE FROM items; COMMIT;");
  EXPECT_TRUE(SqliteRecordset(db_, "SELECT * FROM items").Eof());
}

// A sale of any size is read in the same memory: SQLite's default page cache (2 MiB) would grow
// with the rows walked.
TEST_F(SqliteRecordsetTest, WalkingManyRowsKeepsSqliteMemorySmall) {
  exec_sql(db_,
           "CREATE TABLE big(name TEXT);"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000)"
           " INSERT INTO big SELECT printf('%0100d', i) FROM n;");  // about 5 MB of pages
  sqlite3_memory_highwater(1);
  const sqlite3_int64 before = sqlite3_memory_used();
  long rows = 0;
  for (SqliteRecordset rs(db_, "SELECT name FROM big"); !rs.Eof(); rs.MoveNext()) ++rows;
  EXPECT_EQ(rows, 40000);
  EXPECT_LT(sqlite3_memory_highwater(0) - before, 512 * 1024);
}

}  // namespace
}  // namespace orvo
