#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "recordset/recordset_test_support.h"

namespace orvo {
namespace {

using testing::error_from;
using testing::exec_sql;
using testing::ScratchDir;

class SqliteRecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exec_sql(db_,
             "CREATE TABLE items(itemname TEXT, Qty INTEGER, Price REAL, Remark);"
             "INSERT INTO items VALUES ('茶葉蛋', 2, 12.5, NULL), ('Coffee', 1, 45, 'hot');");
  }
  // Expects construction to fail and returns the error.
  Error open_error(const std::filesystem::path& db, const std::string& query) {
    return error_from([&] { SqliteRecordset rs(db, query); });
  }

  ScratchDir dir_;
  std::filesystem::path db_ = dir_.path("sale.db");
};

TEST_F(SqliteRecordsetTest, StoredTypesMapToNumberTextAndNull) {
  struct Case {
    const char* expr;
    Variant want;
  };
  const std::vector<Case> cases = {
      {"1050", 1050},
      {"-3", -3},
      {"9007199254740992", 9007199254740992.0},
      {"12.5", 12.5},
      {"0.0", 0.0},
      {"'茶葉蛋 Tea'", "茶葉蛋 Tea"},
      {"''", ""},
      {"'12'", "12"},  // text that looks numeric stays text
      {"NULL", Variant::null()},
      {"X'E88CB6'", "茶"},  // a blob's bytes as they are
      {"X''", ""},
      {"CAST('a' || char(0) || 'b' AS BLOB)", std::string("a\0b", 3)},
  };
  for (const auto& c : cases) {
    SqliteRecordset rs(db_, std::string("SELECT ") + c.expr + " AS v");
    EXPECT_EQ(rs.Fields("V"), c.want) << c.expr;
  }
}

TEST_F(SqliteRecordsetTest, ColumnsReadAsStoredNotAsDeclared) {
  exec_sql(db_, "INSERT INTO items VALUES (3, '4', '5.5', 6)");  // affinity converts on insert
  SqliteRecordset rs(db_, "SELECT * FROM items WHERE rowid = 3");
  EXPECT_EQ(rs.Fields("itemname"), Variant("3"));
  EXPECT_EQ(rs.Fields("qty"), Variant(4));
  EXPECT_EQ(rs.Fields("price"), Variant(5.5));
  EXPECT_EQ(rs.Fields("remark"), Variant(6));
}

TEST_F(SqliteRecordsetTest, NullsAndAliasesWalkLikeAnyRow) {
  SqliteRecordset rs(db_, "SELECT itemname AS ItemName, Remark FROM items ORDER BY rowid");
  EXPECT_EQ(rs.Fields("remark"), Variant::null());
  EXPECT_EQ(error_from([&] { rs.Fields("Qty"); }).number(), 3265);  // not selected
  rs.MoveNext();
  EXPECT_EQ(rs.Fields("REMARK"), Variant("hot"));
  rs.MoveNext();
  EXPECT_TRUE(rs.Eof());
}

TEST_F(SqliteRecordsetTest, UnusableDatabaseNamesPathAndReason) {
  const auto missing = dir_.path("no_such.db");
  const auto not_db = dir_.path("notes.txt");
  std::ofstream(not_db) << "this is not a database, just some text long enough to be read\n";

  struct Case {
    std::filesystem::path db;
    std::string reason;
  };
  for (const auto& c : std::vector<Case>{{missing, "unable to open database file"},
                                         {not_db, "file is not a database"}}) {
    const Error e = open_error(c.db, "SELECT * FROM items");
    EXPECT_EQ(e.number(), Recordset::kDatabaseError);
    EXPECT_NE(e.description().find("'" + c.db.string() + "'"), std::string::npos)
        << e.description();
    EXPECT_NE(e.description().find(c.reason), std::string::npos) << e.description();
  }
  EXPECT_FALSE(std::filesystem::exists(missing)) << "a read-only open must not create the file";
}

TEST_F(SqliteRecordsetTest, BadQueriesAreRefusedWithAReason) {
  struct Case {
    std::string query;
    std::int32_t number;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"SELEC * FROM items", Recordset::kDatabaseError, "syntax error"},
      {"SELECT * FROM item", Recordset::kDatabaseError, "no such table: item"},
      {"SELECT nope FROM items", Recordset::kDatabaseError, "no such column: nope"},
      {"DELETE FROM items", 5, "returns no rows"},
      {"", 5, "is empty"},
      {" -- only a comment", 5, "is empty"},
      {"SELECT 1; SELECT 2", 5, "more than one statement"},
      {"SELECT 1; DELETE FROM items", 5, "more than one statement"},
      {"SELECT 1; SELEC", Recordset::kDatabaseError, "syntax error"},
      // Runs on the first step: the read-only connection refuses to write.
      {"UPDATE items SET Qty = 0 RETURNING Qty", Recordset::kDatabaseError, "readonly database"},
  };
  for (const auto& c : cases) {
    const Error e = open_error(db_, c.query);
    EXPECT_EQ(e.number(), c.number) << c.query;
    EXPECT_NE(e.description().find(db_.string()), std::string::npos) << e.description();
    EXPECT_NE(e.description().find(c.reason), std::string::npos) << e.description();
  }
  SqliteRecordset rs(db_, "SELECT Qty FROM items ORDER BY rowid; -- trailing comment\n");
  EXPECT_EQ(rs.Fields("Qty"), Variant(2)) << "the refused UPDATE must not have changed anything";
}

TEST_F(SqliteRecordsetTest, FailureMidWalkRaisesThenLeavesNoCurrentRecord) {
  // abs() of the smallest integer overflows, but only when that row is stepped to.
  exec_sql(db_,
           "CREATE TABLE n(v INTEGER); INSERT INTO n VALUES (-5), (-9223372036854775808), (7);");
  SqliteRecordset rs(db_, "SELECT abs(v) AS a FROM n ORDER BY rowid");
  EXPECT_EQ(rs.Fields("a"), Variant(5));
  const Error e = error_from([&] { rs.MoveNext(); });
  EXPECT_EQ(e.number(), Recordset::kDatabaseError);
  EXPECT_NE(e.description().find("integer overflow"), std::string::npos) << e.description();
  EXPECT_TRUE(rs.Eof());
  EXPECT_EQ(error_from([&] { rs.Fields("a"); }).number(), 3021);

  // The same failure on the first row fails the construction itself.
  EXPECT_EQ(open_error(db_, "SELECT abs(v) FROM n WHERE v < -5").number(),
            Recordset::kDatabaseError);
}

TEST_F(SqliteRecordsetTest, DoesNotHoldTheDatabaseAfterDestruction) {
  { SqliteRecordset rs(db_, "SELECT * FROM items"); }
  // A writer needs no lock held by a finished recordset: the host writes the next sale.
  exec_sql(db_, "BEGIN EXCLUSIVE; DELETE FROM items; COMMIT;");
  SqliteRecordset rs(db_, "SELECT * FROM items");
  EXPECT_TRUE(rs.Eof());
}

}  // namespace
}  // namespace orvo
