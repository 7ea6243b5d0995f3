#include "../../tools/sale_json.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "shared/errors.h"
#include "support/raised.h"
#include "support/temp_dir.h"

namespace orvo::cli {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<Variant>>;

// The printer object's own filter is wired in by the command-line test.
bool known(std::string_view key) { return key != "InvAmount"; }

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

Rows drain(Recordset& rs) {
  Rows rows;
  for (; !rs.Eof(); rs.MoveNext()) rows.push_back({rs.Fields("itemname"), rs.Fields("Amt")});
  return rows;
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

TEST(SaleJson, ItemsAbsentEmptyAndPresent) {
  EXPECT_EQ(parse(R"({"invoice": {}})").items->State(), 0);
  const Sale empty = parse(R"({"invoice": {}, "items": []})");
  EXPECT_EQ(empty.items->State(), 1);
  EXPECT_TRUE(empty.items->Eof());

  Sale sale = parse(R"({"invoice": {}, "items": [
      {"itemname": "牛肉麵", "Amt": 560, "Remark": ""}, {"itemname": "小籠包", "Amt": null}]})");
  EXPECT_EQ(sale.items->Fields("remark"), Variant(""));
  sale.items->MoveNext();
  // A key the row does not give is no field of that row.
  EXPECT_EQ(testing::raised([&] { sale.items->Fields("Remark"); }).number(), err::kItemNotFound);
  EXPECT_EQ(drain(*sale.items), (Rows{{"小籠包", Variant::null()}}));
}

TEST(SaleJson, BadInputNamesFileAndProblem) {
  const std::pair<const char*, const char*> cases[] = {
      {R"({"invoice": {"InvAmt": 1,}})", "parse error at line 1"},
      {"{\"invoice\": {\"Remark\": \"\xB0\xA8\"}}", "UTF-8"},  // Big5 bytes
      {R"([1, 2])", "expected an object, got array"},
      {R"({"items": []})", "missing \"invoice\""},
      {R"({"invoice": {"InvAmount": 1}})", "unknown field \"InvAmount\""},
      {R"({"invoice": {}, "footer": 1})", "unknown key \"footer\""},
      {R"({"invoice": {"Cash": [100]}})", "invoice.Cash: expected a string, number"},
      {R"({"invoice": {"Cash": 1, "Cash": 2}})", "\"Cash\" appears twice"},
      {R"({"invoice": {}, "items": {}})", "items: expected an array, got object"},
      {R"({"invoice": {}, "items": [{"Qty": 1}, 5]})", "items[1]: expected an object"},
      {R"({"invoice": {}, "items": [{"Qty": 1, "qty": 2}]})", "items[0]: field \"qty\""},
      // Items are read as they stream in, but a bad one is reported in the same order as ever:
      // after syntax, the sale's keys and the invoice; the first bad item.
      {R"({"invoice": {}, "items": [5], "x": })", "parse error at line 1"},
      {R"({"items": [{"Qty": 1}, 7]})", "missing \"invoice\""},
      {R"({"items": [7], "invoice": {"InvAmount": 1}})", "unknown field \"InvAmount\""},
      {R"({"invoice": {}, "items": [{"a": 1}, {"Qty": [1]}, 5]})",
       "items[1].Qty: expected a string, number"},
      {R"({"invoice": {}, "items": [], "items_sqlite": {}})", "not both"},
      {R"({"invoice": {}, "items_sqlite": {"database": "a.db"}})",
       "items_sqlite: missing \"query\""},
      {R"({"invoice": {}, "items_sqlite": {"database": 1, "query": "q"}})",
       "items_sqlite.database: expected a string"},
      {R"({"invoice": {}, "items_sqlite": {"query": "q", "x": 1}})",
       "items_sqlite: unknown key \"x\""},
  };
  for (const auto& [text, problem] : cases) {
    const std::string message = input_error(text);
    EXPECT_TRUE(message.starts_with("sale.json: ")) << message;
    EXPECT_NE(message.find(problem), std::string::npos) << text << "\ngave: " << message;
  }
}

// A key given twice is refused wherever it is, before anything after it is read; keys equal
// but for case are different keys to JSON (only item fields fold case, later).
TEST(SaleJson, KeyGivenTwiceInOneObjectIsRefusedWhereverItIs) {
  const std::pair<const char*, const char*> cases[] = {
      {R"({"invoice": {}, "invoice": {}})", "sale.json: key \"invoice\" appears twice in one object"},
      {R"({"invoice": {}, "items": [{"Qty": 1, "Amt": 2, "Qty": 3}]})",
       "sale.json: key \"Qty\" appears twice in one object"},
      {R"({"invoice": {}, "items": [{"a": {"x": 1, "x": 2}}]})",
       "sale.json: key \"x\" appears twice in one object"},
      {R"({"invoice": {"Cash": 1, "Cash": 2, "Change": }})",
       "sale.json: key \"Cash\" appears twice in one object"},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(input_error(text), message) << text;
  // The same key in two objects is no repeat.
  const Sale sale = parse(R"({"invoice": {}, "items": [{"Qty": 1}, {"Qty": 2}]})");
  EXPECT_EQ(sale.items->Fields("Qty"), Variant(1));
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

  const std::string query =
      R"(", "query": "SELECT * FROM items WHERE check_no = 'C1' ORDER BY seq"}})";
  Sale sale = parse(R"({"invoice": {}, "items_sqlite": {"database": "../pos.db)" + query,
                    dir.path / "sales" / "sale.json");
  EXPECT_EQ(drain(*sale.items), (Rows{{"雞腿便當", 110}, {"排骨便當", 200}}));

  const std::string missing =
      input_error(R"({"invoice": {}, "items_sqlite": {"database": "nowhere.db)" + query,
                  dir.path / "sales" / "sale.json");
  EXPECT_NE(missing.find("sale.json: items_sqlite: "), std::string::npos) << missing;
  EXPECT_NE(missing.find("sales/nowhere.db"), std::string::npos) << missing;
}

}  // namespace
}  // namespace orvo::cli
