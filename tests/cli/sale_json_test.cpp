#include "../../tools/sale_json.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace orvo::cli {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<Variant>>;

// The printer object's own filter is wired in by the tool.
Sale parse(const std::string& text, const fs::path& file = "sale.json") {
  return parse_sale(text, file, [](std::string_view) { return true; });
}

TEST(SaleJson, JsonTypesBecomeVariantKinds) {
  const Sale sale = parse(R"({"invoice": {"InvAmt": 1050, "Cash": 1.5, "BNo": -3,
      "Remark": true, "InvType": false, "InvNo": null, "TblName": "收訂-王先生"}})");
  const std::vector<std::pair<std::string, Variant>> expected = {
      {"InvAmt", 1050.0},        {"Cash", 1.5},      {"BNo", -3.0},
      {"Remark", true},          {"InvType", false}, {"InvNo", Variant::null()},
      {"TblName", "收訂-王先生"}};
  EXPECT_EQ(sale.invoice, expected);
}

TEST(SaleJson, ItemsFromSqliteRelativeToTheSaleFile) {
  testing::TempDir dir;
  fs::create_directories(dir.path / "sales");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir.path / "pos.db").c_str(), &db), SQLITE_OK);
  const int rc = sqlite3_exec(db,
                              "CREATE TABLE items (check_no TEXT, seq INT, itemname TEXT, Amt);"
                              "INSERT INTO items VALUES ('C1', 2, '排骨便當', 200),"
                              "('C1', 1, '雞腿便當', 110), ('C2', 1, '焢肉便當', 105);",
                              nullptr, nullptr, nullptr);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK);

  Sale sale = parse(R"({"invoice": {}, "items_sqlite": {"database": "../pos.db",
      "query": "SELECT * FROM items WHERE check_no = 'C1' ORDER BY seq"}})",
                    dir.path / "sales" / "sale.json");
  Rows rows;
  for (; !sale.items->Eof(); sale.items->MoveNext())
    rows.push_back({sale.items->Fields("itemname"), sale.items->Fields("Amt")});
  EXPECT_EQ(rows, (Rows{{"雞腿便當", 110}, {"排骨便當", 200}}));
}

}  // namespace
}  // namespace orvo::cli
