#include "../../tools/sale_json.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "shared/errors.h"

namespace orvo::cli {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<Variant>>;

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

Rows drain(Recordset& rs, const std::vector<std::string>& fields) {
  Rows rows;
  for (; !rs.Eof(); rs.MoveNext()) {
    rows.emplace_back();
    for (const auto& f : fields) rows.back().push_back(rs.Fields(f));
  }
  return rows;
}

TEST(SaleJson, JsonTypesBecomeVariantKinds) {
  const Sale sale = parse(R"({"invoice": {
      "TblName": "收訂-王先生", "InvAmt": 1050, "Cash": 1.5, "BNo": -3, "Remark": true,
      "InvType": false, "InvNo": null}})");
  const std::vector<std::pair<std::string, Variant>> expected = {
      {"TblName", Variant("收訂-王先生")},
      {"InvAmt", Variant(1050.0)},
      {"Cash", Variant(1.5)},
      {"BNo", Variant(-3.0)},
      {"Remark", Variant(true)},
      {"InvType", Variant(false)},
      {"InvNo", Variant::null()}};
  EXPECT_EQ(sale.invoice, expected);
}

TEST(SaleJson, ItemsAbsentEmptyAndPresent) {
  EXPECT_EQ(parse(R"({"invoice": {}})").items->State(), 0);
  const Sale empty = parse(R"({"invoice": {}, "items": []})");
  EXPECT_EQ(empty.items->State(), 1);
  EXPECT_TRUE(empty.items->Eof());

  Sale sale = parse(R"({"invoice": {}, "items": [
      {"itemname": "牛肉麵", "Qty": 2, "Amt": 560, "Remark": ""},
      {"itemname": "小籠包", "Qty": 1, "Amt": null}]})");
  EXPECT_EQ(sale.items->Fields("remark"), Variant(""));
  sale.items->MoveNext();
  // A key the row does not give is no field of that row.
  try {
    sale.items->Fields("Remark");
    ADD_FAILURE() << "Remark is not in the second row";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::kItemNotFound);
  }
  EXPECT_EQ(drain(*sale.items, {"itemname", "Qty", "Amt"}),
            (Rows{{Variant("小籠包"), Variant(1.0), Variant::null()}}));
}

TEST(SaleJson, BadInputNamesFileAndProblem) {
  const struct {
    const char* text;
    std::vector<std::string> mentions;
  } cases[] = {
      {R"({"invoice": {"InvAmt": 1,}})", {"sale.json: ", "parse error", "line 1"}},
      {"{\"invoice\": {\"Remark\": \"\xB0\xA8\"}}", {"sale.json: ", "UTF-8"}},  // Big5 bytes
      {R"([1, 2])", {"sale.json: ", "expected an object, got array"}},
      {R"({"items": []})", {"sale.json: ", "missing \"invoice\""}},
      {R"({"invoice": {"InvAmount": 1}})", {"sale.json: ", "unknown field \"InvAmount\""}},
      {R"({"invoice": {}, "footer": 1})", {"sale.json: ", "unknown key \"footer\""}},
      {R"({"invoice": {"Cash": [100]}})", {"invoice.Cash", "got array"}},
      {R"({"invoice": {"Cash": 1, "Cash": 2}})", {"\"Cash\" appears twice"}},
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
  testing::TempDir dir;
  fs::create_directories(dir.path / "sales");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir.path / "pos.db").c_str(), &db), SQLITE_OK);
  const int rc = sqlite3_exec(
      db,
      "CREATE TABLE items (check_no TEXT, seq INT, itemname TEXT, Qty REAL, Amt REAL);"
      "INSERT INTO items VALUES ('C1', 2, '排骨便當', 2, 200), ('C1', 1, '雞腿便當', 1, 110),"
      "('C2', 1, '焢肉便當', 1, 105);",
      nullptr, nullptr, nullptr);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK);

  // Relative to the sale's own directory, not the working directory; absolute as given.
  for (const std::string& database : {std::string("../pos.db"), (dir.path / "pos.db").string()}) {
    Sale sale = parse(R"({"invoice": {}, "items_sqlite": {"database": ")" + database +
                          R"(", "query": "SELECT itemname, Qty, Amt FROM items )"
                          R"(WHERE check_no = 'C1' ORDER BY seq"}})",
                      dir.path / "sales" / "sale.json");
    EXPECT_EQ(drain(*sale.items, {"itemname", "Qty", "Amt"}),
              (Rows{{Variant("雞腿便當"), Variant(1.0), Variant(110.0)},
                    {Variant("排骨便當"), Variant(2.0), Variant(200.0)}}))
        << database;
  }
  const std::string missing = input_error(
      R"({"invoice": {}, "items_sqlite": {"database": "nowhere.db", "query": "SELECT 1"}})",
      dir.path / "sales" / "sale.json");
  EXPECT_NE(missing.find("sale.json: items_sqlite: "), std::string::npos) << missing;
  EXPECT_NE(missing.find("nowhere.db"), std::string::npos) << missing;
}

TEST(SaleJson, ReadSaleReportsUnreadableFiles) {
  testing::TempDir dir;
  std::ofstream(dir.path / "good.json") << R"({"invoice": {"InvAmt": 5000}})";
  EXPECT_EQ(read_sale(dir.path / "good.json", known).invoice.size(), 1u);

  for (const auto& [file, reason] :
       {std::pair{dir.path / "absent.json", "No such file"}, std::pair{dir.path, "directory"}}) {
    try {
      read_sale(file, known);
      ADD_FAILURE() << file;
    } catch (const InputError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind(file.string() + ": ", 0), 0u) << message;
      EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
  }
}

}  // namespace
}  // namespace orvo::cli
