#include "../../tools/sale_json.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "shared/errors.h"

namespace orvo {
inline void PrintTo(const Variant& v, std::ostream* os) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
      *os << "Empty";
      break;
    case Variant::Kind::Null:
      *os << "Null";
      break;
    case Variant::Kind::Boolean:
      *os << (v.as_bool() ? "True" : "False");
      break;
    case Variant::Kind::Number:
      *os << "Number " << v.as_number();
      break;
    case Variant::Kind::Text:
      *os << "Text \"" << v.as_text() << '"';
      break;
    case Variant::Kind::Date:
      *os << "Date " << v.as_date().serial;
      break;
  }
}
}  // namespace orvo

namespace orvo::cli {
namespace {

namespace fs = std::filesystem;

bool known(std::string_view key) {
  static const std::set<std::string, std::less<>> keys = {"InvNo", "InvType", "InvAmt", "Remark",
                                                          "Cash",  "TblName", "BNo"};
  return keys.contains(key);
}

Sale parse(const std::string& text, const fs::path& file = "sale.json") {
  return parse_sale(text, file, known);
}

std::string input_error(const std::string& text, const fs::path& file = "sale.json") {
  try {
    parse(text, file);
  } catch (const InputError& e) {
    return e.what();
  }
  ADD_FAILURE() << "no input error for: " << text;
  return "";
}

class TempDir {
 public:
  TempDir() {
    path_ = fs::temp_directory_path() /
            ("orvo_cli_sale_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void make_database(const fs::path& file, const std::string& sql) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  char* msg = nullptr;
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg);
  const std::string reason = msg ? msg : sqlite3_errmsg(db);
  sqlite3_free(msg);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK) << reason;
}

std::vector<std::vector<Variant>> drain(Recordset& rs, const std::vector<std::string>& fields) {
  std::vector<std::vector<Variant>> rows;
  while (!rs.Eof()) {
    std::vector<Variant> row;
    for (const auto& f : fields) row.push_back(rs.Fields(f));
    rows.push_back(std::move(row));
    rs.MoveNext();
  }
  return rows;
}

TEST(SaleJson, JsonTypesBecomeVariantKindsInFileOrder) {
  const Sale sale = parse(R"({"invoice": {
      "TblName": "收訂-王先生", "InvAmt": 1050, "Cash": 1.5, "BNo": -3,
      "Remark": true, "InvType": false, "InvNo": null}})");
  const std::vector<std::pair<std::string, Variant>> expected = {
      {"TblName", Variant("收訂-王先生")},
      {"InvAmt", Variant(1050.0)},
      {"Cash", Variant(1.5)},
      {"BNo", Variant(-3.0)},
      {"Remark", Variant(true)},
      {"InvType", Variant(false)},
      {"InvNo", Variant::null()}};
  EXPECT_EQ(sale.invoice, expected);

  // A key left out is not set at all; "" is Text, not Empty.
  const Sale few = parse(R"({"invoice": {"Remark": ""}})");
  ASSERT_EQ(few.invoice.size(), 1u);
  EXPECT_EQ(few.invoice[0].second.kind(), Variant::Kind::Text);
}

TEST(SaleJson, ItemsAbsentEmptyAndPresent) {
  const Sale closed = parse(R"({"invoice": {}})");
  EXPECT_EQ(closed.items->State(), 0);

  const Sale empty = parse(R"({"invoice": {}, "items": []})");
  EXPECT_EQ(empty.items->State(), 1);
  EXPECT_TRUE(empty.items->Eof());

  Sale sale = parse(R"({"invoice": {}, "items": [
      {"itemname": "牛肉麵", "Qty": 2, "Amt": 560, "Remark": ""},
      {"itemname": "小籠包", "Qty": 1, "Amt": null}]})");
  ASSERT_EQ(sale.items->State(), 1);
  // A field missing from the second row raises 3265, as on any recordset.
  EXPECT_EQ(sale.items->Fields("remark"), Variant(""));
  sale.items->MoveNext();
  try {
    sale.items->Fields("Remark");
    ADD_FAILURE() << "Remark is not in the second row";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::kItemNotFound);
  }
  EXPECT_EQ(
      drain(*sale.items, {"itemname", "Qty", "Amt"}),
      (std::vector<std::vector<Variant>>{{Variant("小籠包"), Variant(1.0), Variant::null()}}));
}

TEST(SaleJson, BadInputNamesFileAndProblem) {
  const struct {
    const char* text;
    std::vector<std::string> mentions;
  } cases[] = {
      {R"({"invoice": {"InvAmt": 1,}})", {"sale.json: ", "parse error", "line 1"}},
      {"{\"invoice\": {\"Remark\": \"\xB0\xA8\"}}", {"sale.json: ", "UTF-8"}},
      {R"([1, 2])", {"sale.json: ", "expected an object, got array"}},
      {R"({"items": []})", {"sale.json: ", "missing \"invoice\""}},
      {R"({"invoice": {"InvAmount": 1}})", {"sale.json: ", "unknown field \"InvAmount\""}},
      {R"({"invoice": {}, "footer": 1})", {"sale.json: ", "unknown key \"footer\""}},
      {R"({"invoice": {"Cash": [100]}})", {"invoice.Cash", "got array"}},
      {R"({"invoice": {"Cash": 1, "Cash": 2}})", {"\"Cash\" appears twice"}},
      {R"({"invoice": [], "items": []})", {"invoice: expected an object"}},
      {R"({"invoice": {}, "items": {}})", {"items: expected an array, got object"}},
      {R"({"invoice": {}, "items": [{"Qty": 1}, 5]})", {"items[1]: expected an object"}},
      {R"({"invoice": {}, "items": [{"Qty": {"n": 1}}]})", {"items[0].Qty", "got object"}},
      {R"({"invoice": {}, "items": [{"Qty": 1, "qty": 2}]})", {"items[0]", "\"qty\""}},
      {R"({"invoice": {}, "items": [], "items_sqlite": {"database": "a.db", "query": "q"}})",
       {"not both"}},
      {R"({"invoice": {}, "items_sqlite": {"database": "a.db"}})",
       {"items_sqlite: missing \"query\""}},
      {R"({"invoice": {}, "items_sqlite": {"database": 1, "query": "q"}})",
       {"items_sqlite.database: expected a string"}},
      {R"({"invoice": {}, "items_sqlite": {"database": "a.db", "query": "q", "x": 1}})",
       {"items_sqlite: unknown key \"x\""}},
  };
  for (const auto& c : cases) {
    const std::string message = input_error(c.text);
    for (const auto& m : c.mentions) {
      EXPECT_NE(message.find(m), std::string::npos) << c.text << "\ngave: " << message;
    }
  }
}

TEST(SaleJson, ItemsFromSqliteRelativeToTheSaleFile) {
  TempDir dir;
  fs::create_directories(dir.path() / "sales");
  make_database(
      dir.path() / "pos.db",
      "CREATE TABLE items (check_no TEXT, seq INT, itemname TEXT, Qty REAL, Amt REAL);"
      "INSERT INTO items VALUES ('C1', 2, '排骨便當', 2, 200), ('C1', 1, '雞腿便當', 1, 110),"
      "('C2', 1, '焢肉便當', 1, 105);");
  const std::string query =
      "SELECT itemname, Qty, Amt FROM items WHERE check_no = 'C1' ORDER BY seq";
  const std::vector<std::vector<Variant>> expected = {
      {Variant("雞腿便當"), Variant(1.0), Variant(110.0)},
      {Variant("排骨便當"), Variant(2.0), Variant(200.0)}};

  // Relative to the sale's own directory, not the working directory; absolute as given.
  const struct {
    std::string database;
  } cases[] = {{"../pos.db"}, {(dir.path() / "pos.db").string()}};
  for (const auto& c : cases) {
    const std::string text = R"({"invoice": {}, "items_sqlite": {"database": ")" + c.database +
                             R"(", "query": ")" + query + R"("}})";
    Sale sale = parse(text, dir.path() / "sales" / "sale.json");
    ASSERT_EQ(sale.items->State(), 1) << c.database;
    EXPECT_EQ(drain(*sale.items, {"itemname", "Qty", "Amt"}), expected) << c.database;
  }

  const std::string missing = input_error(
      R"({"invoice": {}, "items_sqlite": {"database": "nowhere.db", "query": "SELECT 1"}})",
      dir.path() / "sales" / "sale.json");
  EXPECT_NE(missing.find("sale.json: items_sqlite: "), std::string::npos) << missing;
  EXPECT_NE(missing.find("nowhere.db"), std::string::npos) << missing;
}

TEST(SaleJson, ReadSaleReportsUnreadableFiles) {
  TempDir dir;
  const fs::path good = dir.path() / "good.json";
  std::ofstream(good) << R"({"invoice": {"InvAmt": 5000}})";
  EXPECT_EQ(read_sale(good, known).invoice.size(), 1u);

  const struct {
    fs::path file;
    const char* reason;
  } cases[] = {{dir.path() / "absent.json", "No such file"}, {dir.path(), "directory"}};
  for (const auto& c : cases) {
    try {
      read_sale(c.file, known);
      ADD_FAILURE() << c.file;
    } catch (const InputError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind(c.file.string() + ": ", 0), 0u) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
  }
}

}  // namespace
}  // namespace orvo::cli
